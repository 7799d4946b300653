#include "PeerEngine.h"

#include <fl/Headers.h>

#include <cstddef>

namespace tapwise::bench {

PeerEngine::PeerEngine(fl::Engine* engine) : FEngine(engine) {}
PeerEngine::PeerEngine(PeerEngine&&) noexcept = default;
PeerEngine::~PeerEngine() = default;

PeerEngine PeerEngine::FromFis(const std::string& text, int resolution) {
  PeerEngine peer(fl::FisImporter().fromString(text));
  for (fl::OutputVariable* output : peer.FEngine->outputVariables())
    output->setDefuzzifier(new fl::Centroid(resolution));
  std::string status;
  if (!peer.FEngine->isReady(&status)) throw fl::Exception("fuzzylite engine not ready: " + status);
  return peer;
}

PeerEngine PeerEngine::FromFll(const std::string& text) {
  return PeerEngine(fl::FllImporter().fromString(text));
}

double PeerEngine::Process(std::span<const double> inputs) {
  for (std::size_t i = 0; i < inputs.size(); ++i)
    FEngine->getInputVariable(i)->setValue(inputs[i]);
  FEngine->process();
  return FEngine->getOutputVariable(0)->getValue();
}

}  // namespace tapwise::bench
