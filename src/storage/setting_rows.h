#pragma once

#include <cfloat>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "storage/ini_document.h"
#include "storage/shared_value.h"

// Settings as data: each key of the settings file is one row (section, key, the field it fills,
// its default, what loading accepts, how it is written, how long a text may be), and the small
// generic code below loads and saves any table of rows. Adding a key is adding a row.
namespace kestrel {

enum class SettingKind : unsigned char {
  kBool,     // an integer in the file, any non-zero value true; written "1"/"0"
  kInt,      // written "%d"
  kFloat,    // written "%.<decimals>f"
  kPercent,  // a whole percent in the file ("%d"), held as a fraction (150 -> 1.5)
  kText,     // read at most max_length characters; written as held
};

// What loading does with a number outside [min, max].
enum class OutOfRange : unsigned char { kKeep, kClamp, kUseDefault };

struct SettingLimits {
  double min = -std::numeric_limits<double>::infinity();
  double max = std::numeric_limits<double>::infinity();
  OutOfRange rule = OutOfRange::kKeep;
};

constexpr SettingLimits NotClamped() { return {}; }
constexpr SettingLimits ClampTo(double min, double max) { return {min, max, OutOfRange::kClamp}; }
constexpr SettingLimits AtLeast(double min) {
  return {min, std::numeric_limits<double>::infinity(), OutOfRange::kClamp};
}
// "0-2, anything else becomes the default".
constexpr SettingLimits ElseDefault(double min, double max) {
  return {min, max, OutOfRange::kUseDefault};
}

// The part of a row that does not depend on the record it fills.
struct SettingRule {
  SettingKind kind = SettingKind::kBool;
  double default_number = 0;      // bool, int, float: as held; percent: as written in the file
  std::string_view default_text;  // text
  SettingLimits limits;           // in held units (a percent's limits are fractions)
  int decimals = 0;               // float
  std::size_t max_length = 0;     // text, in characters
  bool empty_keeps_default = false;  // a key present with an empty value reads as missing
};

// One element of an array of numbers in the record (the effect parameter values, by id), reached
// through two small functions because a member pointer cannot name an array element.
template <typename Record>
struct FloatSlot {
  float (*get)(const Record&, std::size_t index) = nullptr;
  void (*set)(Record&, std::size_t index, float value) = nullptr;
  std::size_t index = 0;
};

template <typename Record>
using SettingField =
    std::variant<bool Record::*, int Record::*, float Record::*, double Record::*,
                 SharedFloat Record::*, std::string Record::*, FloatSlot<Record>>;

template <typename Record>
struct SettingRow {
  std::string_view section;
  std::string_view key;
  SettingField<Record> field;
  SettingRule rule;
  // When set, the value written instead of the field's own.
  std::string (*written_as)(const Record&) = nullptr;
  // When set, runs right after the row is loaded: for a rule that depends on rows loaded before
  // it (a clamp that follows another switch, an index that must name a unit that is on).
  void (*after_load)(Record&) = nullptr;
};

// The kinds of field a fractional number can be held in.
template <typename T>
concept HeldFraction = std::is_floating_point_v<T> || std::is_same_v<T, SharedFloat>;

// ---- Row builders: one call per key, reading like the table it comes from.

template <typename Record>
constexpr SettingRow<Record> BoolRow(std::string_view section, std::string_view key,
                                     bool Record::*field, bool default_value) {
  return {section, key, field, {SettingKind::kBool, default_value ? 1.0 : 0.0}};
}

template <typename Record>
constexpr SettingRow<Record> IntRow(std::string_view section, std::string_view key,
                                    int Record::*field, int default_value,
                                    SettingLimits limits = NotClamped()) {
  return {section, key, field, {SettingKind::kInt, double(default_value), {}, limits}};
}

// Written with `decimals` digits after the point ("%.1f" is 1).
template <typename Record, HeldFraction Number>
constexpr SettingRow<Record> FloatRow(std::string_view section, std::string_view key,
                                      Number Record::*field, double default_value,
                                      SettingLimits limits, int decimals) {
  return {section, key, field, {SettingKind::kFloat, default_value, {}, limits, decimals}};
}

// The file holds a whole percent; the field holds the fraction, clamped by `limits` (fractions).
template <typename Record, HeldFraction Number>
constexpr SettingRow<Record> PercentRow(std::string_view section, std::string_view key,
                                        Number Record::*field, int default_percent,
                                        SettingLimits limits) {
  return {section, key, field, {SettingKind::kPercent, double(default_percent), {}, limits}};
}

template <typename Record>
constexpr SettingRow<Record> TextRow(std::string_view section, std::string_view key,
                                     std::string Record::*field, std::size_t max_length,
                                     std::string_view default_value = {}) {
  return {section, key, field, {SettingKind::kText, 0, default_value, {}, 0, max_length}};
}

// A float kept in an array element of the record.
template <typename Record>
constexpr SettingRow<Record> FloatSlotRow(std::string_view section, std::string_view key,
                                          FloatSlot<Record> slot, double default_value,
                                          SettingLimits limits, int decimals) {
  return {section, key, slot, {SettingKind::kFloat, default_value, {}, limits, decimals}};
}

// A key present with an empty value keeps the default instead of reading as 0.
template <typename Record>
constexpr SettingRow<Record> EmptyKeepsDefault(SettingRow<Record> row) {
  row.rule.empty_keeps_default = true;
  return row;
}

template <typename Record>
constexpr SettingRow<Record> AfterLoad(SettingRow<Record> row,
                                       std::type_identity_t<void (*)(Record&)> after_load) {
  row.after_load = after_load;
  return row;
}

template <typename Record>
constexpr SettingRow<Record> WrittenAs(
    SettingRow<Record> row, std::type_identity_t<std::string (*)(const Record&)> written_as) {
  row.written_as = written_as;
  return row;
}

// ---- The generic reading and writing of one value. A missing key (nullopt) gives the default.

bool ReadBoolSetting(const std::optional<std::string>& raw, const SettingRule& rule);
int ReadIntSetting(const std::optional<std::string>& raw, const SettingRule& rule);
// Float and percent values in held units, always finite and at most `largest` in magnitude:
// "nan", "inf" and numbers the field cannot hold read as the default.
double ReadNumberSetting(const std::optional<std::string>& raw, const SettingRule& rule,
                         double largest);
std::string ReadTextSetting(const std::optional<std::string>& raw, const SettingRule& rule);

std::string WriteBoolSetting(bool value);
std::string WriteIntSetting(int value);
std::string WriteNumberSetting(double value, const SettingRule& rule);

namespace setting_rows_detail {

inline void ReadInto(bool& field, const std::optional<std::string>& raw, const SettingRule& rule) {
  field = ReadBoolSetting(raw, rule);
}
inline void ReadInto(int& field, const std::optional<std::string>& raw, const SettingRule& rule) {
  field = ReadIntSetting(raw, rule);
}
inline void ReadInto(float& field, const std::optional<std::string>& raw, const SettingRule& rule) {
  field = static_cast<float>(ReadNumberSetting(raw, rule, FLT_MAX));
}
inline void ReadInto(double& field, const std::optional<std::string>& raw,
                     const SettingRule& rule) {
  field = ReadNumberSetting(raw, rule, DBL_MAX);
}
inline void ReadInto(SharedFloat& field, const std::optional<std::string>& raw,
                     const SettingRule& rule) {
  field = static_cast<float>(ReadNumberSetting(raw, rule, FLT_MAX));
}
inline void ReadInto(std::string& field, const std::optional<std::string>& raw,
                     const SettingRule& rule) {
  field = ReadTextSetting(raw, rule);
}

inline std::string Written(bool value, const SettingRule&) { return WriteBoolSetting(value); }
inline std::string Written(int value, const SettingRule&) { return WriteIntSetting(value); }
inline std::string Written(float value, const SettingRule& rule) {
  return WriteNumberSetting(value, rule);
}
inline std::string Written(double value, const SettingRule& rule) {
  return WriteNumberSetting(value, rule);
}
inline std::string Written(const SharedFloat& value, const SettingRule& rule) {
  return WriteNumberSetting(value.load(), rule);
}
inline std::string Written(const std::string& value, const SettingRule&) { return value; }

template <typename Record, typename Member>
void ReadField(Record& record, Member Record::*member, const std::optional<std::string>& raw,
               const SettingRule& rule) {
  ReadInto(record.*member, raw, rule);
}
template <typename Record>
void ReadField(Record& record, const FloatSlot<Record>& slot,
               const std::optional<std::string>& raw, const SettingRule& rule) {
  slot.set(record, slot.index, static_cast<float>(ReadNumberSetting(raw, rule, FLT_MAX)));
}

template <typename Record, typename Member>
std::string WrittenField(const Record& record, Member Record::*member, const SettingRule& rule) {
  return Written(record.*member, rule);
}
template <typename Record>
std::string WrittenField(const Record& record, const FloatSlot<Record>& slot,
                         const SettingRule& rule) {
  return WriteNumberSetting(slot.get(record, slot.index), rule);
}

}  // namespace setting_rows_detail

template <typename Record>
void LoadSettingRow(const IniDocument& document, const SettingRow<Record>& row, Record& record) {
  std::optional<std::string> raw = document.Find(row.section, row.key);
  if (raw && raw->empty() && row.rule.empty_keeps_default) raw.reset();
  std::visit([&](const auto& field) { setting_rows_detail::ReadField(record, field, raw, row.rule); },
             row.field);
  if (row.after_load) row.after_load(record);
}

// Fills every field from the document, row by row in table order (so a row may depend on one
// loaded before it).
template <typename Rows, typename Record>
void LoadSettingRows(const IniDocument& document, const Rows& rows, Record& record) {
  for (const auto& row : rows) LoadSettingRow(document, row, record);
}

template <typename Record>
std::string WrittenForm(const SettingRow<Record>& row, const Record& record) {
  if (row.written_as) return row.written_as(record);
  return std::visit(
      [&](const auto& field) { return setting_rows_detail::WrittenField(record, field, row.rule); },
      row.field);
}

// Writes every row in place. False when some value could not be written (a text holding a line
// break); the other rows are written all the same.
template <typename Rows, typename Record>
bool SaveSettingRows(IniDocument& document, const Rows& rows, const Record& record) {
  bool all_written = true;
  for (const auto& row : rows) {
    all_written = document.Set(row.section, row.key, WrittenForm(row, record)) && all_written;
  }
  return all_written;
}

// ---- Saving beside another running copy of the program.
//
// Each copy loads the file at start and saves every key at exit. So that the copy saving last
// does not put back its stale value of a key the other one changed, a save compares with what
// this copy saw at load: a key is written when this copy changed it, or when nobody changed it
// in the file since (which also rewrites hand-edited values in their normal form).

struct LoadedSetting {
  std::optional<std::string> file_value;  // the key as the file held it at load
  std::string written_form;               // what this copy would have written right after load
};

// Taken right after loading (and after anything that load step makes active, like the language).
template <typename Rows, typename Record>
std::vector<LoadedSetting> SnapshotSettingRows(const IniDocument& loaded, const Rows& rows,
                                               const Record& record) {
  std::vector<LoadedSetting> snapshot;
  for (const auto& row : rows) {
    snapshot.push_back({loaded.Find(row.section, row.key), WrittenForm(row, record)});
  }
  return snapshot;
}

// `document` is the file as it is now; `snapshot` comes from SnapshotSettingRows with the same
// rows (an empty snapshot writes every row). `next_snapshot` receives the snapshot to keep once
// the document is safely on disk: written keys start again from their new value, keys left to
// the other copy stay as loaded so that a later save still leaves them alone. False as
// SaveSettingRows.
template <typename Rows, typename Record>
bool MergeSettingRows(IniDocument& document, const Rows& rows, const Record& record,
                      const std::vector<LoadedSetting>& snapshot,
                      std::vector<LoadedSetting>& next_snapshot) {
  bool all_written = true;
  next_snapshot.clear();
  std::size_t index = 0;
  for (const auto& row : rows) {
    std::string ours = WrittenForm(row, record);
    const std::optional<std::string> now = document.Find(row.section, row.key);
    bool write = true;
    if (index < snapshot.size()) {
      const LoadedSetting& loaded = snapshot[index];
      const bool changed_here = ours != loaded.written_form;
      const bool changed_there = now.has_value() && now != loaded.file_value;
      write = changed_here || !changed_there;
    }
    if (write && document.Set(row.section, row.key, ours)) {
      next_snapshot.push_back({document.Find(row.section, row.key), std::move(ours)});
    } else {
      all_written = all_written && !write;
      next_snapshot.push_back(index < snapshot.size() ? snapshot[index] : LoadedSetting{now, ours});
    }
    ++index;
  }
  return all_written;
}

}  // namespace kestrel
