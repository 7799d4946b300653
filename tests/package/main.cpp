// A program outside the Tapwise tree, built against an installed Tapwise: it reads a
// definition text and prints the centre of gravity of each term of one variable.
#include <iostream>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Version.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

int main() {
  using namespace tapwise;
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  logic.SetParser(&parser);
  parser.SetFuzzyLogic(&logic);
  parser.Parse(
      "(deffuzzy level (range 0 10)"
      "  (values (term ramp ((0 0) (2 1) (8 0)))"
      "          (term plateau ((3 0) (5 1) (9 1) (10 0)))))");
  const IntfPtr<IFuzzyVariable> level = logic.GetVariable("level");
  std::cout << "tapwise " << kVersion << "\n";
  for (const char* name : {"ramp", "plateau"})
    std::cout << name << " cog " << FormatFixed(level->GetFuzzySet(name)->CenterOfGravity(), 4)
              << "\n";
}
