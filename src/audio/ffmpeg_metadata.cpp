#include "audio/ffmpeg_metadata.h"

#include <cstring>
#include <set>
#include <vector>

#include "audio/tag_blocks.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace kestrel::audio {
namespace {

// Which block a demuxer's metadata becomes, by the demuxer's name.
struct ContainerBlock {
  const char* demuxer;
  TagBlock block;
};
constexpr ContainerBlock kContainerBlocks[] = {
    {"mov,mp4,m4a,3gp,3g2,mj2", TagBlock::kMp4},
    {"asf", TagBlock::kWma},
    {"asf_o", TagBlock::kWma},
    {"wav", TagBlock::kRiffInfo},
    {"w64", TagBlock::kRiffInfo},
};

void AddEntries(const AVDictionary* metadata, std::set<std::string>* seen,
                std::vector<std::string>* entries) {
  const AVDictionaryEntry* entry = nullptr;
  while ((entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
    if (!seen->insert(entry->key).second) continue;
    entries->push_back(std::string(entry->key) + "=" + entry->value);
  }
}

}  // namespace

void AddFfmpegMetadataBlocks(const AVFormatContext& context, const AVStream& stream,
                             std::map<TagBlock, std::string>* blocks) {
  std::set<std::string> seen;
  std::vector<std::string> entries;
  AddEntries(context.metadata, &seen, &entries);
  AddEntries(stream.metadata, &seen, &entries);
  if (entries.empty()) return;

  const char* demuxer = context.iformat ? context.iformat->name : "";
  for (const ContainerBlock& row : kContainerBlocks) {
    if (std::strcmp(row.demuxer, demuxer) == 0) {
      (*blocks)[row.block] = JoinTagList(entries);
      return;
    }
  }
  // Tags the file's own bytes already gave (ID3, APE, Vorbis comments) are not repeated.
  if (blocks->empty()) (*blocks)[TagBlock::kMediaFoundation] = JoinTagList(entries);
}

}  // namespace kestrel::audio
