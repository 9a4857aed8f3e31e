#include "sound/HashCollection.h"

namespace quarn::sound {

namespace {

// Lower-casing of names: ASCII letters only, so that the chain of a name does not depend on the
// process locale.
unsigned char Lower(char c)
{
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool SameText(const std::string& a, const std::string& b)
{
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

int THashCollection::Hash(const std::string& name)
{
  const size_t length = name.size();
  size_t h = length * 16;
  if (length >= 2) h += Lower(name[0]) + Lower(name[length - 2]);
  return static_cast<int>(h % BucketCount);
}

void THashCollectionItem::SetName(const std::string& value)
{
  if (value == FName) return;
  FName = value;
  Unlink();
  Link();
}

void THashCollectionItem::Link()
{
  FBucket = THashCollection::Hash(FName);
  THashCollectionItem*& head = FCollection.FBuckets[static_cast<size_t>(FBucket)];
  FPrev = nullptr;
  FNext = head;
  if (head) head->FPrev = this;
  head = this;
}

void THashCollectionItem::Unlink()
{
  THashCollectionItem*& head = FCollection.FBuckets[static_cast<size_t>(FBucket)];
  if (FPrev)
    FPrev->FNext = FNext;
  else if (head == this)
    head = FNext;
  if (FNext) FNext->FPrev = FPrev;
  FPrev = FNext = nullptr;
}

THashCollection::~THashCollection() { Clear(); }

void THashCollection::Append(std::unique_ptr<THashCollectionItem> item)
{
  item->FCachedIndex = Count();
  item->Link();
  FItems.push_back(std::move(item));
}

int THashCollection::IndexOf(const std::string& name) const
{
  for (const THashCollectionItem* item = FBuckets[static_cast<size_t>(Hash(name))]; item;
       item = item->FNext)
    if (SameText(item->FName, name)) return item->FCachedIndex;
  return -1;
}

void THashCollection::Delete(int index)
{
  if (index < 0 || index >= Count()) return;
  // Unlink and take the item out first, so that its destructor sees a consistent collection.
  std::unique_ptr<THashCollectionItem> item = std::move(FItems[static_cast<size_t>(index)]);
  item->Unlink();
  FItems.erase(FItems.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < FItems.size(); ++i) --FItems[i]->FCachedIndex;
  item.reset();
}

void THashCollection::Clear()
{
  while (!FItems.empty()) Delete(Count() - 1);
}

}  // namespace quarn::sound
