#include "engine/plugin_report.h"

namespace kestrel {
namespace {

CodecFamilySource& FamilySource() {
  static CodecFamilySource source;
  return source;
}

std::string JoinedOrNone(const std::vector<std::string>& names) {
  if (names.empty()) return "(none)";
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += ", ";
    joined += name;
  }
  return joined;
}

}  // namespace

std::string PluginReportOf(const std::vector<audio::CodecFamily>& families) {
  std::vector<std::string> loaded;
  std::vector<std::string> failed;
  for (const audio::CodecFamily& family : families) {
    (family.available ? loaded : failed).push_back(family.name);
  }
  return "Loaded: " + JoinedOrNone(loaded) + "\nFailed: " + JoinedOrNone(failed);
}

std::string PluginReport() {
  const CodecFamilySource& source = FamilySource();
  return PluginReportOf(source ? source() : audio::CodecFamilies());
}

void SetCodecFamilySourceForTesting(CodecFamilySource source) { FamilySource() = std::move(source); }

}  // namespace kestrel
