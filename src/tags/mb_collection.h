#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "protocol/mb_data.h"

namespace dornvel {

// Item or Remove of a key or position that the registry does not hold.
class NoSuchTag : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// The ordered, keyed list of a window's tags; keys compare without regard to case,
// positions are 1-based. The registry owns its tags.
class MBCollection {
 public:
  using IndexOrKey = std::variant<std::int32_t, std::string>;

  explicit MBCollection(ProtocolServices services);

  // Defines and stores a new tag; null (registry unchanged) when Init refuses the
  // definition or the key is already used. An empty key stores the tag without one.
  MBData* Add(std::uint8_t Slave, std::int32_t RegType, std::int32_t RegAddress, std::int32_t DataType, Line* CommPort,
              std::int16_t DataLen, const std::string& sKey);
  // Throws NoSuchTag.
  MBData& Item(const IndexOrKey& vntIndexKey) const;
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  // Throws NoSuchTag.
  void Remove(const IndexOrKey& vntIndexKey);

  // Where its tags report their messages and errors; none: to the window of
  // their line's serial control.
  void SetHost(HostWindow* host);
  HostWindow* Host() const { return host_; }

  class Iterator;
  Iterator begin() const;
  Iterator end() const;

 private:
  struct Entry {
    std::unique_ptr<MBData> tag;
    std::optional<std::string> key;
  };
  std::size_t PositionOf(const IndexOrKey& vntIndexKey) const;

  ProtocolServices services_;
  std::vector<Entry> entries_;
  HostWindow* host_ = nullptr;

 public:
  // Walks the tags in list order (for-each over the registry).
  class Iterator {
   public:
    using Base = std::vector<Entry>::const_iterator;
    explicit Iterator(Base it) : it_(it) {}
    MBData& operator*() const { return *it_->tag; }
    Iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const Iterator&) const = default;

   private:
    Base it_;
  };
};

inline MBCollection::Iterator MBCollection::begin() const { return Iterator(entries_.begin()); }
inline MBCollection::Iterator MBCollection::end() const { return Iterator(entries_.end()); }

}  // namespace dornvel
