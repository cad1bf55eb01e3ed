#pragma once
// Where an amount comes from: the code that fills a box of the determination grid or a summary
// column of a person tells an optional recorder each amount it adds in and each step it takes,
// so that "¿De dónde sale?" is told by the computation itself. No recorder (nullptr) costs
// nothing but a pointer test.
#include <string>
#include <string_view>

#include "common/money.h"

namespace korventa::model {

// One amount that enters a target (a box "412" or a person's summary column "salud").
struct AmountSource {
  std::string kind = {};       // "Trabajador", "Concepto", "Recibo", "Factura EPS", "Casilla", …
  std::string tipDoc = {};     // person's document type (code), "6" for a RUC
  std::string doc = {};        // person, provider, EPS RUC, establishment's RUC
  std::string name = {};       // person's or establishment's name
  std::string reference = {};  // receipt or invoice "serie-número", establishment, box number
  std::string code = {};       // concept code, where one applies
  std::string descrip = {};    // and its description
  std::string rule = {};       // what lets it in: column, worker type, position, rate
  Money amount = {};           // signed: what it adds to the target
};

// How a step turns the running value (the previous step's result) into its own result.
enum class StepKind {
  Sum,          // the sum of the sources
  Round,        // to whole soles (or to cents), halves away from zero
  Add,          // + amount
  Subtract,     // − amount
  AtLeastZero,  // a negative value becomes zero
  Copy,         // the value of another box or concept (amount)
  Share,        // the part of `amount` a rate gives (IGV contained in an amount)
  Empty,        // nothing to declare: the target stays empty
  Typed,        // typed by the user
  Adjust,       // a rule replaces the value by `amount` (a minimum, a cap)
};

struct AmountStep {
  StepKind kind;
  std::string caption;
  Money amount;  // the operand (the sum itself for Sum)
  Money result;  // running value after the step
};

class AmountRecorder {
 public:
  virtual ~AmountRecorder() = default;
  // The computation of `target` starts (again): what was recorded for it before is dropped.
  virtual void reset(std::string_view target) = 0;
  virtual void source(std::string_view target, AmountSource s) = 0;
  virtual void step(std::string_view target, AmountStep s) = 0;
};

}  // namespace korventa::model
