#include "tags/mb_collection.h"

#include <algorithm>

#include "protocol/runtime_error.h"

namespace dornvel {

namespace {

bool SameKey(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

MBCollection::MBCollection(ProtocolServices services) : services_(services) {}

void MBCollection::SetHost(HostWindow* host) {
  host_ = host;
  for (Entry& entry : entries_) entry.tag->ReportTo(host);
}

MBData* MBCollection::Add(std::uint8_t Slave, std::int32_t RegType, std::int32_t RegAddress, std::int32_t DataType,
                          Line* CommPort, std::int16_t DataLen, const std::string& sKey) {
  auto tag = std::make_unique<MBData>(services_);
  try {
    tag->Init(Slave, RegType, RegAddress, DataType, CommPort, sKey, this, DataLen);
  } catch (const RuntimeError&) {
    return nullptr;
  }
  std::optional<std::string> key;
  if (!sKey.empty()) {
    bool taken = std::ranges::any_of(entries_, [&](const Entry& e) { return e.key && SameKey(*e.key, sKey); });
    if (taken) return nullptr;
    key = sKey;
  }
  tag->ReportTo(host_);
  entries_.push_back({std::move(tag), std::move(key)});
  return entries_.back().tag.get();
}

std::size_t MBCollection::PositionOf(const IndexOrKey& vntIndexKey) const {
  if (const auto* position = std::get_if<std::int32_t>(&vntIndexKey)) {
    if (*position < 1 || *position > Count()) throw NoSuchTag("no tag at position " + std::to_string(*position));
    return static_cast<std::size_t>(*position - 1);
  }
  const auto& key = std::get<std::string>(vntIndexKey);
  auto it = std::ranges::find_if(entries_, [&](const Entry& e) { return e.key && SameKey(*e.key, key); });
  if (it == entries_.end()) throw NoSuchTag("no tag under the key \"" + key + "\"");
  return static_cast<std::size_t>(it - entries_.begin());
}

MBData& MBCollection::Item(const IndexOrKey& vntIndexKey) const { return *entries_[PositionOf(vntIndexKey)].tag; }

void MBCollection::Remove(const IndexOrKey& vntIndexKey) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(PositionOf(vntIndexKey)));
}

}  // namespace dornvel
