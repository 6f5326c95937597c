// Safe JSON reading, the compact serialisation and FNV-1a.
#include "model/document_io.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace reedmark {

namespace {

// The deepest bracket nesting of JSON text, ignoring brackets inside strings.
int NestingDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (inString) {
            if (ch == '\\') ++i;
            else if (ch == '"') inString = false;
        } else if (ch == '"') {
            inString = true;
        } else if (ch == '[' || ch == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > kMaxJsonDepth) return deepest;
        } else if (ch == ']' || ch == '}') {
            --depth;
        }
    }
    return deepest;
}

bool NeedsEscape(unsigned char b) { return b < 32 || b == '"' || b == '\\'; }

void AppendQuoted(std::string& out, const std::string& s) {
    out += '"';
    size_t run = 0;  // start of the pending run of bytes written unchanged
    for (size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (!NeedsEscape(b)) continue;
        out.append(s, run, i - run);
        run = i + 1;
        switch (b) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case 8: out += "\\b"; break;
        case 9: out += "\\t"; break;
        case 10: out += "\\n"; break;
        case 12: out += "\\f"; break;
        case 13: out += "\\r"; break;
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", b);
            out += buf;
        }
        }
    }
    out.append(s, run, std::string::npos);
    out += '"';
}

template <typename T>
void AppendNumber(std::string& out, T value) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, end);
}

void AppendCompact(std::string& out, const TJson& v) {
    switch (v.type()) {
    case TJson::value_t::object: {
        const auto& members = *v.get_ptr<const TJson::object_t*>();
        if (members.empty()) {
            out += "{}";
            return;
        }
        out += "{ ";
        bool first = true;
        for (const auto& [name, member] : members) {
            if (!first) out += ", ";
            first = false;
            AppendQuoted(out, name);
            out += " : ";
            AppendCompact(out, member);
        }
        out += " }";
        return;
    }
    case TJson::value_t::array: {
        out += '[';
        bool first = true;
        for (const auto& element : *v.get_ptr<const TJson::array_t*>()) {
            if (!first) out += ", ";
            first = false;
            AppendCompact(out, element);
        }
        out += ']';
        return;
    }
    case TJson::value_t::string: AppendQuoted(out, v.get_ref<const std::string&>()); return;
    case TJson::value_t::boolean: out += v.get<bool>() ? "true" : "false"; return;
    case TJson::value_t::number_integer: AppendNumber(out, v.get<std::int64_t>()); return;
    case TJson::value_t::number_unsigned: AppendNumber(out, v.get<std::uint64_t>()); return;
    case TJson::value_t::number_float: out += v.dump(); return;  // never written by the game
    default: out += "null"; return;
    }
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TGameError("Cannot open " + path + ": " + std::strerror(errno));
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) throw TGameError("Cannot read " + path);
    if (static_cast<unsigned long long>(size) > kMaxJsonFileBytes) throw TGameError("File too large: " + path);
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size)) throw TGameError("Cannot read " + path);
    return text;
}

TJson ParseJsonText(const std::string& text) {
    if (text.size() > kMaxJsonFileBytes) throw TGameError("JSON text too large.");
    if (NestingDepth(text) > kMaxJsonDepth) throw TGameError("JSON text nested too deeply.");
    try {
        return TJson::parse(text);
    } catch (const TJson::exception& e) {
        throw TGameError(e.what());
    }
}

TJson ReadJsonFile(const std::string& path) { return ParseJsonText(ReadTextFile(path)); }

std::string SerializeCompact(const TJson& value) {
    std::string out;
    out.reserve(1 << 16);
    AppendCompact(out, value);
    return out;
}

std::string Fnv1aHex(const std::string& bytes) {
    std::uint32_t h = 2166136261u;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 16777619u;
    }
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", h);
    return buf;
}

void WriteFileSynced(const std::string& path, const std::string& text) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw TGameError("Cannot write " + path + ": " + std::strerror(errno));
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throw TGameError("Cannot write " + path + ": " + std::strerror(err));
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int err = errno;
        ::close(fd);
        throw TGameError("Cannot write " + path + ": " + std::strerror(err));
    }
    if (::close(fd) != 0) throw TGameError("Cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace reedmark
