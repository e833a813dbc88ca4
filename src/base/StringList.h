// TStringList: an ordered list of texts, each with an optional object.
// Texts are UTF-8; files are read and written in UTF-8 or code page 936.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Classes.h"

namespace kv {

enum class TTextEncoding { Utf8, Gbk };
enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStream;

class TStringList : public TPersistent {
 public:
  TStringList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  // Index errors raise EStringListError "List index out of bounds (<i>)".
  const std::string& operator[](int index) const { return Strings(index); }
  const std::string& Strings(int index) const;
  // Not allowed on a sorted list (EStringListError).
  void Put(int index, const std::string& s);
  TObject* Objects(int index) const;
  // The list keeps a plain reference; it does not free the object.
  void PutObject(int index, TObject* object);

  // On a sorted list: the text's sorted position; a duplicate is ignored
  // (returning the existing index), accepted or refused by Duplicates().
  int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  // Adds s with an object the list owns and frees with the item.
  int AddObject(const std::string& s, std::unique_ptr<TObject> object);
  void AddStrings(const TStringList& other);
  // Not allowed on a sorted list (EStringListError).
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  void Exchange(int a, int b);

  // Case-insensitive unless CaseSensitive(); -1 when absent.
  int IndexOf(std::string_view s) const;
  int IndexOfObject(const TObject* object) const;
  // Sorted lists only: true when found; index is the position or the place
  // where s would go.
  bool Find(std::string_view s, int& index) const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);
  void Sort();
  // compare(list, i, j) < 0 when item i goes before item j.
  void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

  // "name=value" items.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  int IndexOfName(std::string_view name) const;
  std::string Values(std::string_view name) const;
  void SetValue(std::string_view name, const std::string& value);

  // Every item followed by CR LF.
  std::string Text() const;
  // Replaces the items by the lines of text (CR LF, LF or CR end a line; a
  // final line break adds no empty item).
  void SetText(std::string_view text);
  // Items joined by delimiter, without quoting.
  std::string Join(std::string_view delimiter) const;

  // A file starting with the UTF-8 byte-order mark is read as UTF-8 whatever
  // encoding is given. Errors raise the TFileStream exceptions.
  void LoadFromFile(const std::string& fileName, TTextEncoding encoding = TTextEncoding::Gbk);
  void SaveToFile(const std::string& fileName, TTextEncoding encoding = TTextEncoding::Gbk) const;
  void LoadFromStream(TStream& stream, TTextEncoding encoding = TTextEncoding::Gbk);
  void SaveToStream(TStream& stream, TTextEncoding encoding = TTextEncoding::Gbk) const;

  // From another TStringList: its texts, its object references (owned
  // objects stay with the source), Sorted, Duplicates and CaseSensitive.
  void Assign(const TPersistent& source) override;

 private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
    std::unique_ptr<TObject> owned;  // set when the list owns the object
  };
  int Compare(std::string_view a, std::string_view b) const;
  void CheckIndex(int index) const;
  int InsertSorted(Item item);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace kv
