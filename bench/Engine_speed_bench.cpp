// One evaluation of a whole controller (TFuzzyController::Process) against fuzzylite's
// process() of the same controller, read from the FIS text Tapwise writes, its defuzzifier at
// resolution 100: the examples and generated rule bases from 49 to 10,000 rules. Each
// iteration evaluates the next of a fixed list of input vectors; `allocs` counts Tapwise's
// heap allocations per evaluation once it has run. Run with
// --benchmark_filter=BM_EngineSpeed.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "GeneratedControllers.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

#if TAPWISE_BENCH_FUZZYLITE
#include <fl/Headers.h>
#endif

namespace tapwise::bench {
namespace {

struct TEngineCase {
  std::string Text;
  std::vector<std::vector<double>> Inputs;
};

// The controllers, by the benchmark's argument.
TEngineCase EngineCase(int which) {
  const auto generated = [](TGeneratedSize size) {
    return TEngineCase{GeneratedControllerText(size),
                       GeneratedInputVectors(size.Inputs, size.Terms, 1000)};
  };
  switch (which) {
    case 0: {
      std::ifstream file(TAPWISE_EXAMPLES_DIR "/tipping.fzl");
      std::stringstream text;
      text << file.rdbuf();
      // Quality and service over 0..10: the generator's vectors over 0..10.
      return {text.str(), GeneratedInputVectors(2, 11, 1000)};
    }
    case 1:
      return generated({2, 7});
    case 2:
      return generated({5, 5});
    case 3:
      return generated({1, 50});
    default:
      return generated({4, 10, which});
  }
}

void EngineArguments(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("controller");
  for (int which : {0, 1, 2, 3, 100, 1000, 10000})
    benchmark->Arg(which);
}

void BM_EngineSpeed_Tapwise(benchmark::State& state) {
  const TEngineCase engine = EngineCase(static_cast<int>(state.range(0)));
  TFuzzyController controller = TFuzzyController::FromText(engine.Text);
  std::vector<std::string> inputs;
  for (const TControllerInput& input : controller.GetInputs())
    inputs.push_back(input.Name);
  const std::string output = controller.GetOutputs().front().Name;
  const auto evaluate = [&](size_t k) {
    const std::vector<double>& values = engine.Inputs[k % engine.Inputs.size()];
    for (size_t i = 0; i < inputs.size(); ++i)
      controller.SetInput(inputs[i], values[i]);
    controller.Process();
    benchmark::DoNotOptimize(controller.FindOutput(output));
  };
  for (size_t k = 0; k < engine.Inputs.size(); ++k)
    evaluate(k);
  const std::size_t before = AllocationCount();
  size_t k = 0;
  for (auto _ : state)
    evaluate(k++);
  state.counters["allocs"] =
      static_cast<double>(AllocationCount() - before) / static_cast<double>(std::max<size_t>(k, 1));
}
BENCHMARK(BM_EngineSpeed_Tapwise)->Apply(EngineArguments)->Unit(benchmark::kMicrosecond);

#if TAPWISE_BENCH_FUZZYLITE
void BM_EngineSpeed_Fuzzylite(benchmark::State& state) {
  const TEngineCase engine = EngineCase(static_cast<int>(state.range(0)));
  const TFuzzyController controller = TFuzzyController::FromText(engine.Text);
  const std::unique_ptr<fl::Engine> peer(
      fl::FisImporter().fromString(WriteController(controller, TControllerFormat::Fis)));
  for (fl::OutputVariable* output : peer->outputVariables())
    if (auto* integral = dynamic_cast<fl::IntegralDefuzzifier*>(output->getDefuzzifier()))
      integral->setResolution(100);
  size_t k = 0;
  for (auto _ : state) {
    const std::vector<double>& values = engine.Inputs[k++ % engine.Inputs.size()];
    for (size_t i = 0; i < values.size(); ++i)
      peer->getInputVariable(i)->setValue(values[i]);
    peer->process();
    benchmark::DoNotOptimize(peer->getOutputVariable(0)->getValue());
  }
}
BENCHMARK(BM_EngineSpeed_Fuzzylite)->Apply(EngineArguments)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
}  // namespace tapwise::bench
