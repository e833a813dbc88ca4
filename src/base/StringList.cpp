#include "base/StringList.h"

#include <algorithm>

#include "base/Streams.h"
#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
  if (caseSensitive_) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) {
    throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  }
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  items_[static_cast<size_t>(index)].text = s;
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Item& item = items_[static_cast<size_t>(index)];
  item.owned.reset();
  item.object = object;
}

int TStringList::InsertSorted(Item item) {
  int index = 0;
  if (Find(item.text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) {
      throw EStringListError("String list does not allow duplicates");
    }
  }
  items_.insert(items_.begin() + index, std::move(item));
  return index;
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  Item item{s, object, nullptr};
  if (sorted_) return InsertSorted(std::move(item));
  items_.push_back(std::move(item));
  return Count() - 1;
}

int TStringList::AddObject(const std::string& s, std::unique_ptr<TObject> object) {
  TObject* raw = object.get();
  Item item{s, raw, std::move(object)};
  if (sorted_) return InsertSorted(std::move(item));  // an ignored duplicate frees it
  items_.push_back(std::move(item));
  return Count() - 1;
}

void TStringList::AddStrings(const TStringList& other) {
  std::vector<std::pair<std::string, TObject*>> copy;  // other may be this list
  for (const Item& item : other.items_) copy.emplace_back(item.text, item.object);
  for (auto& [text, object] : copy) AddObject(text, object);
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) {
    throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  }
  items_.insert(items_.begin() + index, Item{s, nullptr, nullptr});
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void TStringList::Clear() { items_.clear(); }

void TStringList::Exchange(int a, int b) {
  CheckIndex(a);
  CheckIndex(b);
  std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    int index = 0;
    return Find(s, index) ? index : -1;
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    if (Compare(items_[i].text, s) == 0) return static_cast<int>(i);
  }
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].object == object) return static_cast<int>(i);
  }
  return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
  // First position whose text is not less than s.
  size_t lo = 0, hi = items_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (Compare(items_[mid].text, s) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  index = static_cast<int>(lo);
  return lo < items_.size() && Compare(items_[lo].text, s) == 0;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) {
    sorted_ = true;
    Sort();
  }
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return Compare(a.text, b.text) < 0; });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
  // Sort an index permutation so that compare sees the list as it stands.
  std::vector<int> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
  items_ = std::move(sorted);
}

std::string TStringList::Names(int index) const {
  const std::string& s = Strings(index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& s = Strings(index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string& s = items_[i].text;
    const size_t eq = s.find('=');
    if (eq != std::string::npos && Compare(std::string_view(s).substr(0, eq), name) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, const std::string& value) {
  const int i = IndexOfName(name);
  const std::string line = std::string(name) + "=" + value;
  if (i >= 0) {
    if (sorted_) {
      Delete(i);
      Add(line);
    } else {
      Put(i, line);
    }
  } else {
    Add(line);
  }
}

std::string TStringList::Text() const { return Join("\r\n") + (items_.empty() ? "" : "\r\n"); }

void TStringList::SetText(std::string_view text) {
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    Add(std::string(text.substr(start, end - start)));
    if (end < text.size() && text[end] == '\r') {
      ++end;
      if (end < text.size() && text[end] == '\n') ++end;
    } else if (end < text.size()) {
      ++end;
    }
    start = end;
  }
}

std::string TStringList::Join(std::string_view delimiter) const {
  std::string out;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out.append(delimiter);
    out.append(items_[i].text);
  }
  return out;
}

void TStringList::LoadFromStream(TStream& stream, TTextEncoding encoding) {
  const std::string bytes = stream.ReadAll();
  const std::string_view view(bytes);
  if (view.substr(0, kBom.size()) == kBom) {
    SetText(view.substr(kBom.size()));
  } else if (encoding == TTextEncoding::Gbk) {
    SetText(GbkToUtf8(view));
  } else {
    SetText(view);
  }
}

void TStringList::SaveToStream(TStream& stream, TTextEncoding encoding) const {
  const std::string text = encoding == TTextEncoding::Gbk ? Utf8ToGbk(Text()) : Text();
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStringList::LoadFromFile(const std::string& fileName, TTextEncoding encoding) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file, encoding);
}

void TStringList::SaveToFile(const std::string& fileName, TTextEncoding encoding) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file, encoding);
  file.Flush();
}

void TStringList::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TStringList*>(&source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  std::vector<Item> copy;
  copy.reserve(other->items_.size());
  for (const Item& item : other->items_) copy.push_back(Item{item.text, item.object, nullptr});
  items_ = std::move(copy);
  sorted_ = other->sorted_;
  caseSensitive_ = other->caseSensitive_;
  duplicates_ = other->duplicates_;
}

}  // namespace kv
