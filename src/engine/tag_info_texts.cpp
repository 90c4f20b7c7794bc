#include "engine/tag_info_texts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "i18n/translate.h"

namespace kestrel {
namespace {

// Far beyond any real bitrate or length, well inside a 64-bit integer.
constexpr double kLargestWhole = 1e15;

constexpr std::array<std::string_view, 3> kPlaceholders = {"%.0f", "%d", "%s"};

std::string WholeNumber(double value) {
  if (!std::isfinite(value) || value < 0) return "0";
  return std::to_string(static_cast<std::int64_t>(std::min(value, kLargestWhole)));
}

}  // namespace

std::string FillPlaceholders(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string text;
  auto next = values.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] == '%' && format.substr(i, 2) == "%%") {
      text += '%';
      i += 2;
      continue;
    }
    bool replaced = false;
    for (const std::string_view placeholder : kPlaceholders) {
      if (format.substr(i, placeholder.size()) == placeholder) {
        if (next != values.end()) text += *next++;
        i += placeholder.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += format[i++];
  }
  return text;
}

std::string ChannelsText(int channels, bool capitalised) {
  if (channels == 1) return Translate(capitalised ? "Mono" : "mono");
  if (channels == 2) return Translate(capitalised ? "Stereo" : "stereo");
  return Translate(capitalised ? "Multi-channel" : "multi-channel");
}

std::string SpokenFormatText(double bitrate_kbps, int frequency, int channels, int sample_bits) {
  const std::string channel_text = ChannelsText(channels, false);
  const std::string hz = std::to_string(frequency);
  if (bitrate_kbps > 0) {
    return FillPlaceholders(Translate("%d kbps, %d Hz, %s"),
                            {WholeNumber(bitrate_kbps), hz, channel_text});
  }
  return FillPlaceholders(Translate("%d-bit, %d Hz, %s"),
                          {std::to_string(sample_bits), hz, channel_text});
}

std::string ShownFormatText(double bitrate_kbps, int frequency, int channels) {
  if (!(bitrate_kbps > 0) || !std::isfinite(bitrate_kbps)) return Translate("Unknown bitrate");
  return FillPlaceholders(Translate("%.0f kbps, %d Hz, %s"),
                          {WholeNumber(std::round(bitrate_kbps)), std::to_string(frequency),
                           ChannelsText(channels, true)});
}

std::string SpokenDurationText(double seconds) {
  const std::int64_t whole = std::isfinite(seconds) && seconds > 0
                                 ? static_cast<std::int64_t>(std::min(seconds, kLargestWhole))
                                 : 0;
  const std::string h = std::to_string(whole / 3600);
  const std::string m = std::to_string(whole / 60 % 60);
  const std::string s = std::to_string(whole % 60);
  if (whole >= 3600) {
    return FillPlaceholders(Translate("Duration: %d hours, %d minutes, %d seconds"), {h, m, s});
  }
  if (whole >= 60) return FillPlaceholders(Translate("Duration: %d minutes, %d seconds"), {m, s});
  return FillPlaceholders(Translate("Duration: %d seconds"), {s});
}

}  // namespace kestrel
