#include "framing/Integrator.h"

#include <algorithm>

namespace {
bool ByAddress(const AddressValuePair& a, const AddressValuePair& b) {
  return a.address < b.address;
}
}  // namespace

Integrator::Integrator(Stream<std::vector<AddressValuePair>>* upstream) : upstream(upstream) {
  name = "Integrator";
}

std::size_t Integrator::find(std::uint32_t address) const {
  if (address < kDirectAddressLimit) {
    return address < direct_.size() && direct_[address] != 0 ? direct_[address] - 1
                                                             : latest_.size();
  }
  auto at =
      std::lower_bound(latest_.begin(), latest_.end(), AddressValuePair{address, {}}, ByAddress);
  return at != latest_.end() && at->address == address ? at - latest_.begin() : latest_.size();
}

bool Integrator::get(std::vector<AddressValuePair>& pairs) {
  undoable_ = false;
  if (!upstream.get(record_)) return false;
  if (keepUndo_) noteUndo();
  // Known addresses are overwritten in place; new ones wait in arrival order
  // so that the last of several pairs for one new address can win.
  newcomers_.clear();
  bool ascending = true;
  for (const AddressValuePair& pair : record_) {
    if (&pair != record_.data() && pair.address <= (&pair - 1)->address) ascending = false;
    std::size_t at = find(pair.address);
    if (at != latest_.size()) {
      latest_[at].value = pair.value;
    } else {
      newcomers_.push_back(pair);
    }
  }
  if (!newcomers_.empty()) addNewcomers();
  if (newcomers_.empty() && ascending && record_.size() == latest_.size()) {
    // Every known address once, in order (each record of the fixed-length
    // years): the record already is the integrated one, so it is handed on
    // without a copy and its buffer takes the place of the caller's.
    pairs.swap(record_);
  } else {
    pairs.assign(latest_.begin(), latest_.end());
  }
  return true;
}

void Integrator::addNewcomers() {
  std::stable_sort(newcomers_.begin(), newcomers_.end(), ByAddress);
  // Keep the last pair of each run of equal addresses.
  auto kept = newcomers_.begin();
  for (auto it = newcomers_.begin(); it != newcomers_.end(); ++it) {
    if (std::next(it) != newcomers_.end() && std::next(it)->address == it->address) continue;
    *kept++ = *it;
  }
  newcomers_.erase(kept, newcomers_.end());

  // Entries before the first newcomer keep their positions; only those from
  // there on need their direct index refreshed.
  std::size_t unmoved =
      std::lower_bound(latest_.begin(), latest_.end(), newcomers_.front(), ByAddress) -
      latest_.begin();
  merged_.clear();
  std::merge(latest_.begin(), latest_.end(), newcomers_.begin(), newcomers_.end(),
             std::back_inserter(merged_), ByAddress);
  latest_.swap(merged_);

  indexFrom(unmoved);
}

void Integrator::indexFrom(std::size_t first) {
  for (std::size_t i = first; i < latest_.size() && latest_[i].address < kDirectAddressLimit; ++i) {
    std::uint32_t address = latest_[i].address;
    if (address >= direct_.size()) direct_.resize(address + 1, 0);
    direct_[address] = static_cast<std::uint32_t>(i + 1);
  }
}

void Integrator::noteUndo() {
  undoable_ = true;
  overwritten_.clear();
  added_ = false;
  for (const AddressValuePair& pair : record_) {
    const std::size_t at = find(pair.address);
    if (at == latest_.size()) {
      added_ = true;
    } else {
      overwritten_.emplace_back(at, latest_[at].value);
    }
  }
  // New addresses move the entries after them, so the whole state is kept.
  if (added_) before_ = latest_;
}

void Integrator::forgetLastRecord() {
  if (!undoable_) return;
  undoable_ = false;
  if (added_) {
    for (const AddressValuePair& pair : latest_) {
      if (pair.address < direct_.size()) direct_[pair.address] = 0;
    }
    latest_.swap(before_);
    indexFrom(0);
    return;
  }
  // Later pairs for one address overwrote earlier ones, so undo in reverse.
  for (auto it = overwritten_.rbegin(); it != overwritten_.rend(); ++it) {
    latest_[it->first].value = it->second;
  }
}
