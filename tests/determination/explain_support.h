#pragma once
// Checks an explanation on its own terms: the sources add up to the sum step, each step turns the
// running value into its result as its kind says, and the last result is the box itself.
#include <string>

#include "determination/box_explanation.h"

namespace korventa::test {

// The first fault of an explanation, or "" when its steps give the value exactly.
inline std::string explanationFault(const determination::BoxExplanation& e) {
  using model::StepKind;
  if (e.steps.empty()) return e.target + ": sin pasos";
  Money running;
  for (const auto& s : e.steps) {
    std::string at = e.target + " (" + s.caption + "): ";
    switch (s.kind) {
      case StepKind::Sum:
        if (s.amount != s.result || s.result != e.sourcesTotal())
          return at + "la suma " + s.result.toText(4) + " no es la de los aportes " + e.sourcesTotal().toText(4);
        break;
      case StepKind::Round: {
        Money off = s.result - running;
        if (s.result != s.result.rounded(0) || off > Money::fromRaw(5050) || off < Money::fromRaw(-5050))
          return at + "redondeo de " + running.toText(4) + " a " + s.result.toText(4);
        break;
      }
      case StepKind::Add:
        if (s.result != running + s.amount) return at + "suma mal hecha";
        break;
      case StepKind::Subtract:
        if (s.result != running - s.amount) return at + "resta mal hecha";
        break;
      case StepKind::AtLeastZero:
        if (s.result != (running.isNegative() ? Money() : running)) return at + "saldo negativo mal tratado";
        break;
      case StepKind::Copy:
        if (s.result != s.amount || (!e.sources.empty() && e.sourcesTotal() != s.amount))
          return at + "copia de otro valor";
        break;
      case StepKind::Share:
        if (s.amount != e.sourcesTotal() || s.result > s.amount || s.result.isNegative())
          return at + "parte de un importe";
        break;
      case StepKind::Empty:
        if (!s.result.isZero()) return at + "vacía con valor";
        break;
      case StepKind::Adjust:
        if (s.result != s.amount) return at + "regla mal anotada";
        break;
      case StepKind::Typed:
        if (s.result != e.amount()) return at + "digitado distinto";
        break;
    }
    running = s.result;
  }
  if (running != e.amount()) return e.target + ": los pasos dan " + running.toText(2) + ", la casilla " + e.value;
  if (e.steps.back().kind == model::StepKind::Empty && !e.value.empty() && !e.amount().isZero())
    return e.target + ": vacía según los pasos, con valor " + e.value;
  return "";
}

}  // namespace korventa::test
