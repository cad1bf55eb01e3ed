// Database creation, settings and registry loading.
#include <filesystem>
#include <iostream>

#include "cli/cli.h"
#include "common/ini.h"
#include "data/schema_installer.h"
#include "declaration/refresh_marker.h"

namespace korventa::cli {
namespace {

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto* c = app.add_subcommand("init", "Crea la base de datos (esquema y datos de referencia)");
    auto demo = std::make_shared<bool>(false);
    c->add_flag("--demo", *demo, "Agrega el registro de demostración");
    c->callback([&ctx, demo] {
      ctx.run([&ctx, demo] {
        std::string file = ctx.dbFile.empty() ? ctx.paths().dbPath : ctx.dbFile;
        if (file.empty()) throw std::runtime_error("Indique el archivo con --db");
        std::error_code ec;
        bool existed = std::filesystem::exists(file, ec) && std::filesystem::file_size(file, ec) > 0;
        auto db = data::createDatabase(file, *demo);
        std::cout << (existed ? "La base de datos ya existía: " : "Base de datos creada: ") << file << "\n";
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("registry", "Registro de declarantes y personas");
    auto* load = c->add_subcommand("load", "Carga el registro desde una carpeta de archivos CSV (<TABLA>.csv)");
    auto dir = std::make_shared<std::string>();
    load->add_option("DIR", *dir, "Carpeta")->required();
    c->require_subcommand(1);
    load->callback([&ctx, dir] {
      ctx.run([&ctx, dir] {
        auto report = declaration::loadRegistry(ctx.session().database(), *dir);
        Table t{{"tabla", "filas"}, {}};
        for (const auto& [table, n] : report.tables) t.rows.push_back({table, std::to_string(n)});
        ctx.print(t);
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("settings", "Escribe el archivo de configuración VKRS000.INI");
    auto sysPath = std::make_shared<std::string>();
    auto db = std::make_shared<std::string>();
    auto user = std::make_shared<std::string>();
    c->add_option("--syspath", *sysPath, "Carpeta de instalación (informes, temporales)")->required();
    c->add_option("--db", *db, "Archivo de la base de datos")->required();
    c->add_option("--user", *user, "Usuario");
    c->callback([&ctx, sysPath, db, user] {
      ctx.run([sysPath, db, user] {
        IniFile ini(IniFile::defaultPath());
        std::filesystem::path dbp = std::filesystem::absolute(*db);
        std::string sp = *sysPath;
        if (!sp.empty() && sp.back() != '/') sp += '/';
        bool ok = ini.write("Options", "SysPath", sp) &&
                  ini.write("Options", "DBPath", dbp.parent_path().string() + "/") &&
                  ini.write("Options", "DBName", dbp.filename().string()) && ini.write("Options", "SysUser", *user);
        if (!ok) throw std::runtime_error("No se puede escribir " + ini.path().string());
        std::cout << "Configuración escrita en " << ini.path().string() << "\n";
        return 0;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
