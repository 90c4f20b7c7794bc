#pragma once

// Dialog labels whose text names an outside address. Each is its own translation key, so the
// dialogs that show them and the text tables share these constants.
namespace kestrel {

// Options, YouTube page: where a YouTube Data API key is obtained.
inline constexpr const char* kApiKeyConsoleLabel = "Get an API key from: https://console.cloud.google.com/";
// Add Radio Station: the shape of a stream address.
inline constexpr const char* kStationUrlHint = "Example: http://example.com:8000/stream.mp3";
// Add Podcast: the shape of a feed address.
inline constexpr const char* kFeedUrlHint = "Example: https://example.com/feed.xml";

}  // namespace kestrel
