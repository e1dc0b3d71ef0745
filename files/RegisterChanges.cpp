#include "RegisterChanges.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace tavrel::files {

using records::RegisterEntry;
using records::VRG500_register;
using Item = RegisterCollection::Item;

struct RegisterChangeBlock {
    // Each entry in turn: its number, its register's bytes, its four clip names each after its
    // length, a flags byte and the device bytes it kept, if any. Two blocks are the same exactly
    // when these bytes are.
    std::string bytes;
    size_t hash = 0;
};

namespace {

using BlockList = std::vector<std::shared_ptr<const RegisterChangeBlock>>;

// The register's bytes are copied as they are: with no padding between its one-byte fields,
// equal bytes mean equal fields, the digits of a time that is not set included.
static_assert(std::is_trivially_copyable_v<VRG500_register>);
static_assert(sizeof(VRG500_register) == 8 * sizeof(records::VRG500_registerTime) + 2);

// A block holds the entries of one window of 256 consecutive numbers (so at most 256 entries).
// Blocks thus start at the same numbers in every change, and a stretch of entries that two lists
// have in common makes the same blocks even when the lists differ elsewhere.
int32_t windowOf(int32_t number) {
    return number >> 8;
}

// What a block costs beyond its bytes, estimated: its shared count with the deleter, its node and
// bucket in the pool, and the allocators' headers.
constexpr size_t BlockBookkeepingBytes = 96;

void putLength(std::string& out, size_t length) {
    while (length >= 0x80) {
        out.push_back(static_cast<char>((length & 0x7f) | 0x80));
        length >>= 7;
    }
    out.push_back(static_cast<char>(length));
}

// What an entry holds beyond its record and names, in one byte: whether it holds no clip names,
// and whether its device bytes follow.
constexpr char NoClipNamesFlag = 1;
constexpr char DeviceBytesFlag = 2;

void encode(std::string& out, int32_t number, const RegisterEntry& entry) {
    out.append(reinterpret_cast<const char*>(&number), sizeof number);
    out.append(reinterpret_cast<const char*>(&entry.reg), sizeof entry.reg);
    for (const std::string& clip : entry.clips) {
        putLength(out, clip.size());
        out += clip;
    }
    const bool kept = entry.deviceBytes != decltype(entry.deviceBytes){};
    out.push_back(static_cast<char>((entry.noClipNames ? NoClipNamesFlag : 0) |
                                    (kept ? DeviceBytesFlag : 0)));
    if (kept) {
        out.append(reinterpret_cast<const char*>(entry.deviceBytes.data()),
                   sizeof entry.deviceBytes);
    }
}

class BlockReader {
  public:
    explicit BlockReader(const RegisterChangeBlock& block)
        : _at(block.bytes.data()), _end(block.bytes.data() + block.bytes.size()) {}

    bool atEnd() const { return _at == _end; }

    int32_t number() {
        int32_t number = 0;
        std::memcpy(&number, _at, sizeof number);
        _at += sizeof number;
        return number;
    }

    void entry(RegisterEntry* entry) {
        std::memcpy(&entry->reg, _at, sizeof entry->reg);
        _at += sizeof entry->reg;
        for (std::string& clip : entry->clips) {
            size_t size = length();
            clip.assign(_at, size);
            _at += size;
        }
        const char flags = *_at++;
        entry->noClipNames = (flags & NoClipNamesFlag) != 0;
        entry->deviceBytes = {};
        if (flags & DeviceBytesFlag) {
            std::memcpy(entry->deviceBytes.data(), _at, sizeof entry->deviceBytes);
            _at += sizeof entry->deviceBytes;
        }
    }

    void skipEntry() {
        _at += sizeof(VRG500_register);
        for (int clip = 0; clip < 4; ++clip) {
            size_t size = length();
            _at += size;
        }
        const char flags = *_at++;
        if (flags & DeviceBytesFlag) {
            _at += sizeof(RegisterEntry::deviceBytes);
        }
    }

  private:
    size_t length() {
        size_t length = 0;
        unsigned shift = 0;
        unsigned char byte = 0;
        do {
            byte = static_cast<unsigned char>(*_at++);
            length |= static_cast<size_t>(byte & 0x7f) << shift;
            shift += 7;
        } while (byte & 0x80);
        return length;
    }

    const char* _at;
    const char* _end;
};

// Every block alive in the process, by content. The pool holds them weakly: a block goes when
// the last change holding it goes, and its deleter takes it out of the pool first.
class BlockPool {
  public:
    std::shared_ptr<const RegisterChangeBlock> intern(std::string_view bytes) {
        size_t hash = std::hash<std::string_view>{}(bytes);
        std::lock_guard<std::mutex> lock(_mutex);
        auto [first, last] = _entries.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            // The block is still allocated even when no one holds it any more: its deleter waits
            // for the mutex before taking it out and freeing it.
            if (it->second.block->bytes == bytes) {
                if (auto held = it->second.weak.lock()) {
                    return held;
                }
            }
        }
        auto* block = new RegisterChangeBlock{std::string(bytes), hash};
        std::shared_ptr<const RegisterChangeBlock> held(
            block, [this](const RegisterChangeBlock* gone) { forget(gone); });
        _entries.emplace(hash, Entry{block, held});
        return held;
    }

  private:
    struct Entry {
        const RegisterChangeBlock* block;
        std::weak_ptr<const RegisterChangeBlock> weak;
    };

    void forget(const RegisterChangeBlock* block) {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            auto [first, last] = _entries.equal_range(block->hash);
            for (auto it = first; it != last; ++it) {
                if (it->second.block == block) {
                    _entries.erase(it);
                    break;
                }
            }
        }
        delete block;
    }

    std::mutex _mutex;
    std::unordered_multimap<size_t, Entry> _entries;
};

BlockPool& pool() {
    // Never destroyed: a change held by a static object may outlive any order of destruction.
    static auto* blocks = new BlockPool;
    return *blocks;
}

// Cuts ascending entries into one block per window and interns each block.
class BlockListBuilder {
  public:
    void add(int32_t number, const RegisterEntry& entry) {
        if (!_pending.empty() && windowOf(number) != _window) {
            flush();
        }
        _window = windowOf(number);
        encode(_pending, number, entry);
    }

    BlockList take() {
        if (!_pending.empty()) {
            flush();
        }
        return std::move(_blocks);
    }

  private:
    void flush() {
        _blocks.push_back(pool().intern(_pending));
        _pending.clear();
    }

    BlockList _blocks;
    std::string _pending;
    int32_t _window = 0;
};

std::vector<int32_t> numbersOf(const BlockList& blocks) {
    std::vector<int32_t> numbers;
    for (const auto& block : blocks) {
        for (BlockReader reader(*block); !reader.atEnd(); reader.skipEntry()) {
            numbers.push_back(reader.number());
        }
    }
    return numbers;
}

std::vector<Item> itemsOf(const BlockList& blocks) {
    std::vector<Item> items;
    for (const auto& block : blocks) {
        for (BlockReader reader(*block); !reader.atEnd();) {
            Item& item = items.emplace_back();
            item.first = reader.number();
            reader.entry(&item.second);
        }
    }
    return items;
}

// The way from the entries `from` to the entries `to`: what `from` has and `to` lacks goes.
RegisterChangeSide sideBetween(const BlockList& from, const BlockList& to) {
    RegisterChangeSide side;
    side.stored = itemsOf(to);
    auto stored = side.stored.begin();
    for (int32_t number : numbersOf(from)) {
        while (stored != side.stored.end() && stored->first < number) {
            ++stored;
        }
        if (stored == side.stored.end() || stored->first != number) {
            side.removed.push_back(number);
        }
    }
    return side;
}

size_t sharedBytes(const BlockList& blocks) {
    size_t bytes = 0;
    for (const auto& block : blocks) {
        size_t own = sizeof(RegisterChangeBlock) + block->bytes.capacity() + BlockBookkeepingBytes;
        bytes += own / static_cast<size_t>(std::max(block.use_count(), 1L));
    }
    return bytes;
}

} // namespace

RegisterChanges::RegisterChanges(Blocks before, Blocks after, size_t count)
    : _before(std::move(before)), _after(std::move(after)), _count(count) {}

RegisterChanges RegisterChanges::between(const RegisterCollection& before,
                                         const RegisterCollection& after) {
    BlockListBuilder was;
    BlockListBuilder now;
    size_t count = 0;
    auto a = before.begin();
    auto b = after.begin();
    while (a != before.end() || b != after.end()) {
        if (b == after.end() || (a != before.end() && a->first < b->first)) {
            was.add(a->first, a->second);
            ++a;
        } else if (a == before.end() || b->first < a->first) {
            now.add(b->first, b->second);
            ++b;
        } else {
            bool same = sameEntry(a->second, b->second);
            if (!same) {
                was.add(a->first, a->second);
                now.add(b->first, b->second);
            }
            ++a;
            ++b;
            if (same) {
                continue;
            }
        }
        ++count;
    }
    return RegisterChanges(was.take(), now.take(), count);
}

RegisterChanges RegisterChanges::storing(const RegisterCollection& current,
                                         std::vector<RegisterCollection::Item> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.first < b.first; });
    BlockListBuilder was;
    BlockListBuilder now;
    size_t count = 0;
    for (size_t index = 0; index < items.size(); ++index) {
        if (index + 1 < items.size() && items[index + 1].first == items[index].first) {
            continue; // a later one of the same number wins
        }
        const auto& [number, entry] = items[index];
        const RegisterEntry* held = current.find(number);
        if (held != nullptr && sameEntry(*held, entry)) {
            continue;
        }
        if (held != nullptr) {
            was.add(number, *held);
        }
        now.add(number, entry);
        ++count;
    }
    return RegisterChanges(was.take(), now.take(), count);
}

RegisterChanges RegisterChanges::removing(const RegisterCollection& current,
                                          const std::vector<int32_t>& numbers) {
    std::vector<int32_t> ordered = numbers;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    BlockListBuilder was;
    size_t count = 0;
    for (int32_t number : ordered) {
        if (const RegisterEntry* held = current.find(number)) {
            was.add(number, *held);
            ++count;
        }
    }
    return RegisterChanges(was.take(), {}, count);
}

RegisterChangeSide RegisterChanges::forward() const {
    return sideBetween(_before, _after);
}

RegisterChangeSide RegisterChanges::backward() const {
    return sideBetween(_after, _before);
}

size_t RegisterChanges::heldBytes() const {
    size_t own =
        sizeof(*this) + (_before.capacity() + _after.capacity()) * sizeof(Blocks::value_type);
    return own + sharedBytes(_before) + sharedBytes(_after);
}

} // namespace tavrel::files
