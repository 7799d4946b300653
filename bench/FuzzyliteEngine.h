#pragma once

#include <memory>
#include <string>
#include <vector>

namespace fl {
class Engine;
class InputVariable;
class OutputVariable;
}  // namespace fl

namespace tapwise::bench {

/// A fuzzylite engine read from FLL text by fuzzylite's importer, every integral
/// defuzzifier set to `resolution`; defined in fuzzylite/ and linked only with the peer.
/// Inputs and outputs in the order of the text's variables.
class FuzzyliteEngine {
 public:
  FuzzyliteEngine(const std::string& fll, int resolution);
  ~FuzzyliteEngine();
  FuzzyliteEngine(const FuzzyliteEngine&) = delete;
  FuzzyliteEngine& operator=(const FuzzyliteEngine&) = delete;

  void Evaluate(const std::vector<double>& inputs, std::vector<double>& outputs);
  size_t OutputCount() const { return FOutputs.size(); }

 private:
  std::unique_ptr<fl::Engine> FEngine;
  // Owned by the engine.
  std::vector<fl::InputVariable*> FInputs;
  std::vector<fl::OutputVariable*> FOutputs;
};

}  // namespace tapwise::bench
