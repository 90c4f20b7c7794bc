#include "engine/open_errors.h"

#include "audio/audio_error.h"
#include "engine/media_item.h"
#include "i18n/translate.h"

namespace kestrel {
namespace {

// One row per error code the opener explains; any other code gets the last row's texts.
struct ErrorReasonRow {
  int code;
  const char* file_reason;
  const char* url_reason;
};

constexpr ErrorReasonRow kErrorReasons[] = {
    {audio::kErrorMemory, "Out of memory.", "Could not open stream."},
    {audio::kErrorFileOpen, "Could not open the file.", "Could not connect to URL."},
    {audio::kErrorFormat, "Unsupported sample format.", "Unsupported sample format."},
    {audio::kErrorSsl, "Unknown error.", "SSL/HTTPS not supported."},
    {audio::kErrorNo3d, "3D sound is not available.", "Could not open stream."},
    {audio::kErrorNoNet, "Unknown error.", "No internet connection."},
    {audio::kErrorTimeout, "Unknown error.", "Connection timed out."},
    {audio::kErrorFileForm, "Unsupported file format.",
     "Unsupported stream format. Check bass_aac.dll is in lib folder."},
    {audio::kErrorCodec, "Required codec is not available.", "Required codec is not available."},
};
constexpr ErrorReasonRow kOtherError = {0, "Unknown error.", "Could not open stream."};

const ErrorReasonRow& RowFor(int code) {
  for (const ErrorReasonRow& row : kErrorReasons) {
    if (row.code == code) return row;
  }
  return kOtherError;
}

// The first `limit` UTF-16 units of a UTF-8 text, never splitting a character.
std::string_view FirstUtf16Units(std::string_view text, std::size_t limit, bool* cut) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::size_t width = bytes == 4 ? 2 : 1;  // beyond U+FFFF: a surrogate pair
    if (units + width > limit) {
      *cut = true;
      return text.substr(0, i);
    }
    units += width;
    i += bytes;
  }
  *cut = false;
  return text;
}

}  // namespace

std::string FileErrorReason(int error_code) { return Translate(RowFor(error_code).file_reason); }

std::string UrlErrorReason(int error_code) { return Translate(RowFor(error_code).url_reason); }

std::string FileErrorMessage(std::string_view item, int error_code) {
  return Translate("Cannot play file:") + "\n" + std::string(FileNameOf(item)) + "\n\n" +
         FileErrorReason(error_code);
}

std::string UrlErrorMessage(std::string_view url, int error_code) {
  constexpr std::size_t kShownUnits = 100;
  bool cut = false;
  std::string shown(FirstUtf16Units(url, kShownUnits, &cut));
  if (cut) shown += "...";
  // std::to_string writes a leading "-" for negative codes and never uses the locale.
  return Translate("Cannot play URL:") + "\n" + shown + "\n\n" + Translate("Error: ") +
         UrlErrorReason(error_code) + " (" + Translate("code ") + std::to_string(error_code) + ")";
}

}  // namespace kestrel
