#pragma once
// A fresh database per test, in its own temporary folder, built from the schema and the
// reference data (copied from a template made once per test run), plus helpers to put a small
// registry in it.
#include <filesystem>
#include <memory>
#include <string>

#include "common/messenger.h"
#include "data/database.h"
#include "data/session.h"

namespace korventa::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Database with schema and reference data; `withDemo` adds the built-in demo registry.
class TestDb {
 public:
  explicit TestDb(bool withDemo = false);
  data::Database& db() { return *session_.db; }
  Session& session() { return session_; }
  RecordingMessenger& messenger() { return messenger_; }
  const TempDir& dir() const { return dir_; }
  std::filesystem::path file() const { return dir_ / "test.db"; }

 private:
  TempDir dir_;
  RecordingMessenger messenger_;
  Session session_;
};

// Small registry fixture.
struct RegistryBuilder {
  data::Database& db;

  // A declarant (CONTRVKRS) of income type 2, user "DEMO"; labour regime, public administration
  // and SENATI indicators as given.
  RegistryBuilder& declarant(const std::string& ruc, const std::string& name, int regimenLab = 1, int admPublica = 0,
                             int senati = 0);
  // A person in ASEGVKRS and ASEG_DET_LAB; dates ISO.
  RegistryBuilder& person(const std::string& ruc, long correl, int category, int tipDoc, const std::string& doc,
                          const std::string& apellidoP, const std::string& nombre, const std::string& tipo,
                          const std::string& situac, int pension, const std::string& sexo = "M");
  // A labour period (PERIODOLAB); fecFin "" for an open period.
  RegistryBuilder& period(const std::string& ruc, long correl, int category, int tipDoc, const std::string& doc,
                          const std::string& tipo, const std::string& fecIni, const std::string& fecFin);
  RegistryBuilder& user(const std::string& name, const std::string& tipo);
};

}  // namespace korventa::test
