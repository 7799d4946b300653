#include "tapwise/foundation/StringList.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {
namespace {

// ASCII folding keeps comparisons independent of the process locale; names in the lists are
// identifiers and numbers, and other bytes (UTF-8) compare as they are.
char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view NamePart(std::string_view line) {
  const size_t equals = line.find('=');
  return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

std::string_view StripByteOrderMark(std::string_view text) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  return text;
}

}  // namespace

void TStringList::Assign(const TPersistent& source) {
  const auto* list = dynamic_cast<const TStringList*>(&source);
  if (list == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (list == this) return;
  // Copied first: the source may be changed by this list's change handler.
  const std::vector<TItem> items = list->FItems;
  TUpdateScope scope(*this);
  Clear();
  for (const TItem& item : items)
    AddObject(item.Text, item.Object);
}

size_t TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
  return static_cast<size_t>(index);
}

void TStringList::CheckUnsorted() const {
  if (FSorted) throw EListError(messages::kSortedListError);
}

const std::string& TStringList::GetString(int index) const {
  return FItems[CheckIndex(index)].Text;
}

void TStringList::SetString(int index, std::string text) {
  CheckUnsorted();
  FItems[CheckIndex(index)].Text = std::move(text);
  Changed();
}

void* TStringList::GetObject(int index) const {
  return FItems[CheckIndex(index)].Object;
}

void TStringList::SetObject(int index, void* object) {
  FItems[CheckIndex(index)].Object = object;
  Changed();
}

int TStringList::Add(std::string text) {
  return AddObject(std::move(text), nullptr);
}

int TStringList::AddObject(std::string text, void* object) {
  size_t position = FItems.size();
  if (FSorted) {
    int found = 0;
    if (FDuplicates != dupAccept && Find(text, found)) {
      if (FDuplicates == dupIgnore) return found;
      throw EListError(messages::kDuplicateString);
    }
    position = SortedInsertPosition(text);
  }
  FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(position),
                TItem{std::move(text), object});
  Changed();
  return static_cast<int>(position);
}

void TStringList::AddStrings(const TStringList& source) {
  const std::vector<TItem> items = source.FItems;
  TUpdateScope scope(*this);
  for (const TItem& item : items)
    AddObject(item.Text, item.Object);
}

void TStringList::Insert(int index, std::string text) {
  InsertObject(index, std::move(text), nullptr);
}

void TStringList::InsertObject(int index, std::string text, void* object) {
  CheckUnsorted();
  if (index < 0 || index > GetCount()) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
  FItems.insert(FItems.begin() + index, TItem{std::move(text), object});
  Changed();
}

void TStringList::Delete(int index) {
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(CheckIndex(index)));
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckUnsorted();
  std::swap(FItems[CheckIndex(index1)], FItems[CheckIndex(index2)]);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
  if (FCaseSensitive) return a.compare(b);
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(FoldCase(a[i]));
    const auto y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int TStringList::IndexOf(std::string_view text) const {
  if (FSorted) {
    int index = 0;
    return Find(text, index) ? index : -1;
  }
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (Compare(FItems[i].Text, text) == 0) return static_cast<int>(i);
  }
  return -1;
}

int TStringList::IndexOfObject(const void* object) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Object == object) return static_cast<int>(i);
  }
  return -1;
}

bool TStringList::Find(std::string_view text, int& index) const {
  if (!FSorted) {
    index = IndexOf(text);
    if (index >= 0) return true;
    index = GetCount();
    return false;
  }
  const auto it = std::lower_bound(
      FItems.begin(), FItems.end(), text,
      [this](const TItem& item, std::string_view value) { return Compare(item.Text, value) < 0; });
  index = static_cast<int>(it - FItems.begin());
  return it != FItems.end() && Compare(it->Text, text) == 0;
}

size_t TStringList::SortedInsertPosition(std::string_view text) const {
  const auto it = std::upper_bound(
      FItems.begin(), FItems.end(), text,
      [this](std::string_view value, const TItem& item) { return Compare(value, item.Text) < 0; });
  return static_cast<size_t>(it - FItems.begin());
}

bool TStringList::SameName(std::string_view line, std::string_view name) const {
  const size_t equals = line.find('=');
  return equals != std::string_view::npos && Compare(line.substr(0, equals), name) == 0;
}

std::string TStringList::GetName(int index) const {
  return std::string(NamePart(GetString(index)));
}

std::string TStringList::GetValueFromIndex(int index) const {
  const std::string& line = GetString(index);
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (SameName(FItems[i].Text, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TStringList::GetValue(std::string_view name) const {
  return TryGetValue(name).value_or(std::string());
}

std::optional<std::string> TStringList::TryGetValue(std::string_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return std::nullopt;
  return GetValueFromIndex(index);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  // Such a line could never be found by its name again; every later set would add another.
  if (name.find('=') != std::string_view::npos) {
    throw EListError(Format(messages::kInvalidValueName, name));
  }
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append("=").append(value);
  const int index = IndexOfName(name);
  if (index < 0) {
    Add(std::move(line));
  } else if (!FSorted) {
    SetString(index, std::move(line));
  } else {
    // A sorted list keeps its order: the new line takes the old one's place in the order.
    void* object = FItems[static_cast<size_t>(index)].Object;
    TUpdateScope scope(*this);
    Delete(index);
    AddObject(std::move(line), object);
  }
}

std::string TStringList::GetText() const {
  size_t size = 0;
  for (const TItem& item : FItems)
    size += item.Text.size() + LineBreak.size();
  std::string text;
  text.reserve(size);
  for (const TItem& item : FItems)
    text.append(item.Text).append(LineBreak);
  return text;
}

void TStringList::SetText(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  TUpdateScope scope(*this);
  Clear();
  for (std::string& line : lines)
    Add(std::move(line));
}

void TStringList::LoadFromStream(TStream& stream) {
  std::string text;
  char buffer[4096];
  for (int64_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<size_t>(n));
  }
  SetText(StripByteOrderMark(text));
}

void TStringList::LoadFromFile(const std::string& path) {
  // A directory opens for reading on some systems and then reads as empty; it is no file.
  std::error_code error;
  std::ifstream file;
  if (!std::filesystem::is_directory(path, error)) file.open(path, std::ios::binary);
  if (!file.is_open()) throw EFOpenError(Format(messages::kCannotOpenFile, path));
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw EStreamError(messages::kStreamReadError);
  SetText(StripByteOrderMark(text));
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  FSorted = sorted;
  if (FSorted) SortItems();
}

void TStringList::Sort() {
  SortItems();
}

void TStringList::SortItems() {
  if (std::is_sorted(FItems.begin(), FItems.end(), [this](const TItem& a, const TItem& b) {
        return Compare(a.Text, b.Text) < 0;
      })) {
    return;
  }
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return Compare(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::SetCaseSensitive(bool case_sensitive) {
  if (case_sensitive == FCaseSensitive) return;
  FCaseSensitive = case_sensitive;
  if (FSorted) SortItems();
}

void TStringList::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FChangedInUpdate) {
    FChangedInUpdate = false;
    if (FOnChange) FOnChange(this);
  }
}

void TStringList::Changed() {
  if (FUpdateCount > 0) {
    FChangedInUpdate = true;
  } else if (FOnChange) {
    FOnChange(this);
  }
}

}  // namespace tapwise
