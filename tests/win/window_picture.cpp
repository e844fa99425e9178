#include "win/window_picture.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>
#include <vector>

#include "win/handles.h"

namespace test {

namespace {

void appendBigEndian(std::string& out, uLong value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
  appendBigEndian(out, static_cast<uLong>(data.size()));
  const std::string body = type + data;
  out += body;
  appendBigEndian(
      out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

// Wine's PrintWindow draws neither the window's frame nor the controls' backgrounds and
// header arrows; under wine the picture is copied from the screen, where the window lies
// on top.
bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace

void saveWindowPicture(HWND window, const std::string& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  ravelin::win::MemoryDcHandle dc(CreateCompatibleDC(screen));
  ravelin::win::BitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
  HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  const bool drawn =
      underWine() ? BitBlt(dc.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)
                  : PrintWindow(window, dc.get(), PW_RENDERFULLCONTENT);
  ReleaseDC(nullptr, screen);
  SelectObject(dc.get(), old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<unsigned char> bgra(static_cast<size_t>(width) * height * 4);
  if (!drawn || !GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(height), bgra.data(), &info,
                           DIB_RGB_COLORS))
    throw std::runtime_error("the window cannot be drawn");

  // Rows of RGB, each behind its filter byte (0: none), deflated.
  std::string raw;
  for (size_t at = 0; at < bgra.size(); at += 4) {
    if (at % (static_cast<size_t>(width) * 4) == 0) raw.push_back('\0');
    raw += {static_cast<char>(bgra[at + 2]), static_cast<char>(bgra[at + 1]),
            static_cast<char>(bgra[at])};
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
           reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);

  std::string header;
  appendBigEndian(header, static_cast<uLong>(width));
  appendBigEndian(header, static_cast<uLong>(height));
  header += {8, 2, 0, 0, 0};  // 8 bits per channel, RGB, deflate, no filters, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  std::ofstream(path, std::ios::binary).write(png.data(), static_cast<std::streamsize>(png.size()));
}

}  // namespace test
