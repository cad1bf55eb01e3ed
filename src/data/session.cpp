#include "data/session.h"

#include "data/servicios_comunes.h"

namespace korventa {

Session::Session() : servicios(std::make_unique<ServiciosComunes>()) {}
Session::~Session() = default;

}  // namespace korventa
