#include "FuzzyliteEngine.h"

#include <fl/Headers.h>

namespace tapwise::bench {

FuzzyliteEngine::FuzzyliteEngine(const std::string& fll, int resolution)
    : FEngine(fl::FllImporter().fromString(fll)) {
  for (std::size_t i = 0; i < FEngine->numberOfInputVariables(); ++i)
    FInputs.push_back(FEngine->getInputVariable(i));
  for (std::size_t i = 0; i < FEngine->numberOfOutputVariables(); ++i) {
    FOutputs.push_back(FEngine->getOutputVariable(i));
    if (auto* integral = dynamic_cast<fl::IntegralDefuzzifier*>(FOutputs.back()->getDefuzzifier()))
      integral->setResolution(resolution);
  }
}

FuzzyliteEngine::~FuzzyliteEngine() = default;

void FuzzyliteEngine::Evaluate(const std::vector<double>& inputs, std::vector<double>& outputs) {
  for (std::size_t i = 0; i < FInputs.size(); ++i)
    FInputs[i]->setValue(inputs[i]);
  FEngine->process();
  for (std::size_t i = 0; i < FOutputs.size(); ++i)
    outputs[i] = FOutputs[i]->getValue();
}

}  // namespace tapwise::bench
