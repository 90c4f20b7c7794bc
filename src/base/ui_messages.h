#pragma once

// Message numbers understood by the main window. Worker threads and core code post them through
// PostToUi; the numbers are those of the original Windows messages so logs and notes stay
// comparable across builds.
namespace kestrel {

inline constexpr int kMsgCommand = 273;               // a command id (wparam), lparam as posted
inline constexpr int kMsgUser = 1024;
inline constexpr int kMsgDrainSpeech = kMsgUser + 1;        // 1025
inline constexpr int kMsgChaptersDownloaded = kMsgUser + 2; // 1026, lparam: the metadata channel
inline constexpr int kMsgStreamTitle = kMsgUser + 3;        // 1027
inline constexpr int kMsgCurrentItemChanged = kMsgUser + 4; // 1028
inline constexpr int kMsgYouTubeCached = kMsgUser + 5;      // 1029, payload: video id
inline constexpr int kMsgYouTubePage = kMsgUser + 6;        // 1030
inline constexpr int kMsgTrayIcon = kMsgUser + 10;          // 1034, lparam: mouse message
inline constexpr int kMsgDownloadFinished = kMsgUser + 101; // 1125, wparam: id, lparam: 1/0
inline constexpr int kMsgUpdateOffer = kMsgUser + 200;      // 1224, payload: update info
inline constexpr int kMsgRunInstaller = kMsgUser + 201;     // 1225

}  // namespace kestrel
