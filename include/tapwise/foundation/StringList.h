#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/Persistent.h"

namespace tapwise {

class TStream;

/// How a sorted string list treats a line equal to one it already holds.
enum TDuplicates : uint8_t {
  dupIgnore,  ///< Add returns the index of the line already there and adds nothing.
  dupAccept,  ///< the new line goes after the equal ones (the default: nothing is lost)
  dupError    ///< EListError "String list does not allow duplicates"
};

/// An ordered list of text lines, each optionally carrying an object pointer (not owned).
///
/// Lines of the form name=value give name/value access: the name is the text before the first
/// "=", the value the text after it. Names, IndexOf and sorting compare lines exactly, or
/// ignoring ASCII letter case when `CaseSensitive` is off:
///
///   TStringList vars;
///   vars.SetCaseSensitive(false);
///   vars.Add("*coldTemp*=20.0");
///   vars.GetValue("*COLDTEMP*");         // "20.0"
///   vars.SetValue("*hotTemp*", "45");    // appends "*hotTemp*=45"
///
/// Whole text: `GetText` ends every line with `LineBreak` (CR LF); `SetText` and the loaders
/// accept CR LF, CR and LF alike. A line may itself contain line breaks (one entry holding a
/// multi-line definition); it is written as it is.
///
/// Changes raise `OnChange` once per change, or once at the end of the outermost
/// BeginUpdate/EndUpdate bracket when anything changed inside it.
class TStringList : public TPersistent {
 public:
  /// The line break written after every line by GetText.
  static constexpr std::string_view LineBreak = "\r\n";

  TStringList() = default;

  std::string ClassName() const override { return "TStringList"; }
  /// Copies the lines and their objects of another string list; this list keeps its own
  /// Sorted, CaseSensitive and Duplicates settings (a sorted list sorts what it receives).
  void Assign(const TPersistent& source) override;

  int GetCount() const { return static_cast<int>(FItems.size()); }
  bool IsEmpty() const { return FItems.empty(); }

  /// The line at `index`; EListError "List index out of bounds (%d)" when out of range.
  const std::string& GetString(int index) const;
  /// Replaces the line at `index` (keeping its object). Not allowed on a sorted list.
  void SetString(int index, std::string text);
  void* GetObject(int index) const;
  void SetObject(int index, void* object);

  /// Appends a line (or, when sorted, inserts it in order) and returns its index.
  int Add(std::string text);
  int AddObject(std::string text, void* object);
  /// Appends every line of `source` with its object.
  void AddStrings(const TStringList& source);
  /// Inserts a line before `index` (0..Count). Not allowed on a sorted list.
  void Insert(int index, std::string text);
  void InsertObject(int index, std::string text, void* object);
  void Delete(int index);
  /// Swaps two lines with their objects. Not allowed on a sorted list.
  void Exchange(int index1, int index2);
  void Clear();

  /// Index of the first line equal to `text` (per CaseSensitive), or -1.
  int IndexOf(std::string_view text) const;
  int IndexOfObject(const void* object) const;
  /// Where `text` is (the first equal line; true) or, on a sorted list, where it would go
  /// (false). A sorted list searches by halving; an unsorted one reports Count when absent.
  bool Find(std::string_view text, int& index) const;

  /// The name part of the line at `index`: the text before the first "=", or "" when the
  /// line has none.
  std::string GetName(int index) const;
  /// The value part of the line at `index`: the text after the first "=", or "" when none.
  std::string GetValueFromIndex(int index) const;
  /// Index of the first line whose name equals `name` (per CaseSensitive), or -1.
  int IndexOfName(std::string_view name) const;
  /// The value of the first line named `name`, or "" when there is none.
  std::string GetValue(std::string_view name) const;
  /// The value of the first line named `name`, or none; tells an empty value from a missing
  /// line.
  std::optional<std::string> TryGetValue(std::string_view name) const;
  /// Sets the value of the first line named `name` to "name=value", keeping its object, or
  /// adds that line when there is none. An empty value keeps the line ("name="). A name
  /// containing "=" raises EListError.
  void SetValue(std::string_view name, std::string_view value);

  /// All lines, each followed by LineBreak.
  std::string GetText() const;
  /// Replaces all lines by the lines of `text` (CR LF, CR or LF end a line; a final line
  /// break does not start another line). The objects are dropped.
  void SetText(std::string_view text);
  /// Replaces all lines by the rest of `stream`, as SetText. A UTF-8 byte-order mark at the
  /// start is skipped.
  void LoadFromStream(TStream& stream);
  /// Replaces all lines by the file's lines, as LoadFromStream. A file that cannot be opened
  /// raises EFOpenError "Cannot open file \"<path>\"" and leaves the list as it was.
  void LoadFromFile(const std::string& path);

  bool IsSorted() const { return FSorted; }
  /// Turning sorting on sorts the lines (stable: equal lines keep their order).
  void SetSorted(bool sorted);
  /// Sorts the lines once (stable), whether or not the list is kept sorted.
  void Sort();
  bool IsCaseSensitive() const { return FCaseSensitive; }
  /// Case-sensitive by default; a sorted list sorts again when this changes.
  void SetCaseSensitive(bool case_sensitive);
  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }

  void BeginUpdate() { ++FUpdateCount; }
  /// Closes a bracket; the outermost one raises OnChange when anything changed inside it.
  void EndUpdate();
  int GetUpdateCount() const { return FUpdateCount; }

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }

 private:
  struct TItem {
    std::string Text;
    void* Object = nullptr;
  };

  int Compare(std::string_view a, std::string_view b) const;
  bool SameName(std::string_view line, std::string_view name) const;
  size_t CheckIndex(int index) const;
  void CheckUnsorted() const;
  // Where a new line goes in a sorted list: after every line not greater than it.
  size_t SortedInsertPosition(std::string_view text) const;
  void Changed();
  void SortItems();

  std::vector<TItem> FItems;
  TNotifyEvent FOnChange;
  int FUpdateCount = 0;
  bool FChangedInUpdate = false;
  bool FSorted = false;
  bool FCaseSensitive = true;
  TDuplicates FDuplicates = dupAccept;
};

}  // namespace tapwise
