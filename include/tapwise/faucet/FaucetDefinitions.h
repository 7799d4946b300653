#pragma once

#include <array>
#include <string_view>

namespace tapwise {

/// The definition text of the faucet demo's three fuzzy variables, as the component's
/// `Strings` hold it and the window's log pane shows it: outTemp (5..65 Celcius; cold, OK,
/// hot), outFlow (0..100 liters/minute; low, OK, strong) and change_vc (-1..1, the valve
/// change; NB, NM, NS, Z, PS, PM, PB).
inline constexpr std::string_view kFaucetDefinitions =
    "(deffuzzy outTemp\r\n"
    "  (range 5 65)\r\n"
    "  (units Celcius)\r\n"
    "  (values\r\n"
    "    (term cold  (z 10 35))\r\n"
    "    (term OK  (pi 36 2))\r\n"
    "    (term hot  (s 37  60))\r\n"
    "  )\r\n"
    ")\r\n"
    "(deffuzzy outFlow\r\n"
    "  (range 0 100)\r\n"
    "  (units liters/minute)\r\n"
    "  (values\r\n"
    "    (term low  (z 3 11.5))\r\n"
    "    (term OK  (pi 12 1))\r\n"
    "    (term strong  (s 12.5 25))\r\n"
    "  )\r\n"
    ")\r\n"
    "(deffuzzy change_vc\r\n"
    "  (range -1 1)\r\n"
    "  (values\r\n"
    "    (term NB ((-0.5 1) (-.25 0)))\r\n"
    "    (term NM ((-.35 0) (-.3 1) (-.15 0)))\r\n"
    "    (term NS ((-.25 0) (-.15 1) (0 0)))\r\n"
    "    (term Z  ((-.05 0) (0 1) (.05 0)))\r\n"
    "    (term PS ((0 0) (.15 1) (.25 0)))\r\n"
    "    (term PM ((.15 0) (.3 1) (.35 0)))\r\n"
    "    (term PB ((.25 0) (.5 1)))\r\n"
    "  )\r\n"
    ")\r\n";

/// The simulation variables the component starts with, one "name=value" line each, in this
/// order. The names carry their asterisks; lookups ignore letter case.
inline constexpr std::array<std::string_view, 14> kFaucetInitialVariables = {
    "*coldValvePos*=0.0",
    "*hotValvePos*=0.0",
    "*coldTemp*=20.0",
    "*hotTemp*=45.0",
    "*coldPress*=50.0",
    "*hotPress*=80.0",
    "*hotFlow*=0",
    "*coldFlow*=0",
    "*optimalTempMin*=34.0",
    "*optimalTempMax*=38.0",
    "*optimalFlowMin*=11.0",
    "*optimalFlowMax*=13.0",
    "*atmosphericPress*=30.0",
    "*iterationFactor*=1.0"};

/// The names of the simulation variables.
namespace simvar {
inline constexpr std::string_view kColdValvePos = "*coldValvePos*";
inline constexpr std::string_view kHotValvePos = "*hotValvePos*";
inline constexpr std::string_view kColdTemp = "*coldTemp*";
inline constexpr std::string_view kHotTemp = "*hotTemp*";
inline constexpr std::string_view kColdPress = "*coldPress*";
inline constexpr std::string_view kHotPress = "*hotPress*";
inline constexpr std::string_view kHotFlow = "*hotFlow*";
inline constexpr std::string_view kColdFlow = "*coldFlow*";
inline constexpr std::string_view kOptimalTempMin = "*optimalTempMin*";
inline constexpr std::string_view kOptimalTempMax = "*optimalTempMax*";
inline constexpr std::string_view kOptimalFlowMin = "*optimalFlowMin*";
inline constexpr std::string_view kOptimalFlowMax = "*optimalFlowMax*";
inline constexpr std::string_view kAtmosphericPress = "*atmosphericPress*";
inline constexpr std::string_view kIterationFactor = "*iterationFactor*";
}  // namespace simvar

}  // namespace tapwise
