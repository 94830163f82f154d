#include "device/discovery/ModeSwitchData.h"

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

namespace evdo {

namespace {

// A configuration is a few lines; the whole collection a few hundred
// kilobytes once unpacked. Anything larger is not the data package.
constexpr std::size_t kMaxConfigBytes = 64 * 1024;
constexpr std::size_t kMaxCollectionBytes = 16 * 1024 * 1024;

constexpr std::size_t kTarBlock = 512;
constexpr std::size_t kTarNameSize = 100;
constexpr std::size_t kTarSizeAt = 124;
constexpr std::size_t kTarSizeSize = 12;
constexpr std::size_t kTarTypeAt = 156;

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

bool IsDeviceId(std::string_view id) {
  if (id.size() != 9 || id[4] != ':') return false;
  for (std::size_t i = 0; i < id.size(); ++i)
    if (i != 4 && !IsLowerHex(id[i])) return false;
  return true;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxConfigBytes) return std::nullopt;
  }
  return text;
}

std::optional<std::string> Gunzip(const std::string& path) {
  struct Closer {
    void operator()(gzFile_s* f) const { gzclose(f); }
  };
  std::unique_ptr<gzFile_s, Closer> in(gzopen(path.c_str(), "rb"));
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  for (;;) {
    int n = gzread(in.get(), buffer, sizeof buffer);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxCollectionBytes) return std::nullopt;
  }
  int error = Z_OK;
  gzerror(in.get(), &error);
  if (error != Z_OK && error != Z_STREAM_END) return std::nullopt;
  return bytes;
}

// An octal tar number field; nullopt when it holds anything else.
std::optional<std::size_t> TarNumber(std::string_view field) {
  std::size_t value = 0;
  bool digits = false;
  for (char c : field) {
    if (c == '\0' || c == ' ') {
      if (digits) break;
      continue;
    }
    if (c < '0' || c > '7') return std::nullopt;
    value = value * 8 + static_cast<std::size_t>(c - '0');
    if (value > kMaxCollectionBytes) return std::nullopt;
    digits = true;
  }
  if (!digits) return std::nullopt;
  return value;
}

std::optional<std::string> TarEntry(const std::string& tar, std::string_view name) {
  std::size_t at = 0;
  while (at + kTarBlock <= tar.size()) {
    std::string_view header(tar.data() + at, kTarBlock);
    if (header.find_first_not_of('\0') == std::string_view::npos) return std::nullopt;  // end
    std::string_view entry = header.substr(0, kTarNameSize);
    entry = entry.substr(0, entry.find('\0'));
    if (entry.substr(0, 2) == "./") entry.remove_prefix(2);
    std::optional<std::size_t> size = TarNumber(header.substr(kTarSizeAt, kTarSizeSize));
    if (!size) return std::nullopt;
    const char type = header[kTarTypeAt];
    const std::size_t data = at + kTarBlock;
    if (data + *size > tar.size()) return std::nullopt;
    if (entry == name && (type == '0' || type == '\0')) {
      if (*size > kMaxConfigBytes) return std::nullopt;
      return tar.substr(data, *size);
    }
    at = data + (*size + kTarBlock - 1) / kTarBlock * kTarBlock;
  }
  return std::nullopt;
}

}  // namespace

ModeSwitchData InstalledModeSwitchData() {
  return {{"/etc/usb_modeswitch.d", "/usr/share/usb_modeswitch"},
          "/usr/share/usb_modeswitch/configPack.tar.gz"};
}

std::optional<std::string> FindModeSwitchConfig(const std::string& id, const ModeSwitchData& data) {
  if (!IsDeviceId(id)) return std::nullopt;
  for (const std::string& folder : data.folders)
    if (auto text = ReadSmallFile(std::string(folder).append("/").append(id))) return text;
  if (data.collection.empty()) return std::nullopt;
  std::optional<std::string> tar = Gunzip(data.collection);
  if (!tar) return std::nullopt;
  return TarEntry(*tar, id);
}

}  // namespace evdo
