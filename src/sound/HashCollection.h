#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace quarn::sound {

class THashCollection;

// A named item of a THashCollection. Its position in the collection is cached; its name links
// it into one of the collection's 256 hash chains.
class THashCollectionItem {
public:
  virtual ~THashCollectionItem() = default;
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& value);
  int Index() const { return FCachedIndex; }
  THashCollection& Collection() const { return FCollection; }

protected:
  explicit THashCollectionItem(THashCollection& collection) : FCollection(collection) {}

private:
  friend class THashCollection;
  void Link();
  void Unlink();

  int FBucket = 0;
  int FCachedIndex = -1;
  std::string FName;
  THashCollectionItem* FPrev = nullptr;
  THashCollectionItem* FNext = nullptr;
  THashCollection& FCollection;
};

// An ordered list of named items, looked up by name through 256 chains. Each chain starts with
// the item linked most recently, so of two items with the same name the one named last is found.
class THashCollection {
public:
  static constexpr int BucketCount = 256;

  THashCollection() = default;
  virtual ~THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;

  // The chain of a name: length × 16, plus the codes of the first and the second-to-last
  // characters when there are at least two, all of the lower-cased name, modulo 256.
  static int Hash(const std::string& name);

  int Count() const { return static_cast<int>(FItems.size()); }
  THashCollectionItem& Item(int index) const { return *FItems.at(static_cast<size_t>(index)); }
  // Index of the item with that name, letter case ignored; −1 when there is none.
  int IndexOf(const std::string& name) const;

  void Delete(int index);
  void Clear();

protected:
  // Appends a new item of the collection's item class, linked under the empty name.
  template <class TItem, class... Args>
  TItem& AddItem(Args&&... args)
  {
    auto item = std::unique_ptr<TItem>(new TItem(std::forward<Args>(args)...));
    TItem& added = *item;
    Append(std::move(item));
    return added;
  }

private:
  friend class THashCollectionItem;
  void Append(std::unique_ptr<THashCollectionItem> item);

  std::vector<std::unique_ptr<THashCollectionItem>> FItems;
  std::array<THashCollectionItem*, BucketCount> FBuckets{};
};

}  // namespace quarn::sound
