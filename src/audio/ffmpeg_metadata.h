#pragma once

#include <map>
#include <string>

#include "audio/source.h"

struct AVFormatContext;
struct AVStream;

namespace kestrel::audio {

// Adds the container metadata FFmpeg has read as a "KEY=value" list: MP4 atoms as kMp4, ASF
// attributes as kWma, a WAV file's LIST/INFO items as kRiffInfo. For other containers whose
// tags have no raw block of their own (AIFF, Matroska...) the list is offered as
// kMediaFoundation, the block the tag readers consult last.
void AddFfmpegMetadataBlocks(const AVFormatContext& context, const AVStream& stream,
                             std::map<TagBlock, std::string>* blocks);

}  // namespace kestrel::audio
