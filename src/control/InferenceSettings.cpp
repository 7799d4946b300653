#include "tapwise/control/InferenceSettings.h"

#include <array>
#include <string_view>

namespace tapwise {

namespace {

// The words of each setting type, in the order of its values.
template <class Setting>
struct TSettingWords;
template <>
struct TSettingWords<TFuzzyOperation> {
  static constexpr std::array<std::string_view, 7> kWords = {
      "zadeh", "mean", "meansqr", "meansqrt", "product", "boundedsum", "sum"};
};
template <>
struct TSettingWords<TImplication> {
  static constexpr std::array<std::string_view, 3> kWords = {"cap", "clip", "scale"};
};
template <>
struct TSettingWords<TAggregation> {
  static constexpr std::array<std::string_view, 4> kWords = {"maximum", "boundedsum",
                                                             "probabilisticsum", "sum"};
};
template <>
struct TSettingWords<TDefuzzification> {
  static constexpr std::array<std::string_view, 7> kWords = {
      "centroid",        "bisector",        "meanofmaxima", "smallestofmaxima",
      "largestofmaxima", "weightedaverage", "weightedsum"};
};

}  // namespace

template <class Setting>
std::string_view SettingWord(Setting value) {
  return TSettingWords<Setting>::kWords.at(static_cast<size_t>(value));
}

template <class Setting>
std::optional<Setting> FindSetting(std::string_view word) {
  const auto& words = TSettingWords<Setting>::kWords;
  for (size_t i = 0; i < words.size(); ++i)
    if (words[i] == word) return static_cast<Setting>(i);
  return std::nullopt;
}

template <class Setting>
std::string SettingWordList() {
  std::string list;
  for (std::string_view word : TSettingWords<Setting>::kWords) {
    if (!list.empty()) list += ", ";
    list += word;
  }
  return list;
}

#define TAPWISE_SETTING_WORDS(Setting)                                    \
  template std::string_view SettingWord<Setting>(Setting);                \
  template std::optional<Setting> FindSetting<Setting>(std::string_view); \
  template std::string SettingWordList<Setting>();
TAPWISE_SETTING_WORDS(TFuzzyOperation)
TAPWISE_SETTING_WORDS(TImplication)
TAPWISE_SETTING_WORDS(TAggregation)
TAPWISE_SETTING_WORDS(TDefuzzification)
#undef TAPWISE_SETTING_WORDS

}  // namespace tapwise
