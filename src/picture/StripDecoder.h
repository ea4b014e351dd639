// A JPEG decoded a few rows at a time into a caller's small buffer, so that
// the rows can be worked on while they are still in the processor's cache
// instead of passing once through a whole decoded bitmap in memory.
//
// The codec's settings are those of a whole-picture decode into Qt's native
// 32-bit layout (accurate integer transform, smooth chroma upsampling), so the
// rows are the same bytes such a decode gives. Any warning of the codec (data
// ending early, a damaged segment, a stray marker) counts as a failure: the
// rest of such a picture would be grey.
//
// Not thread-safe; one decoder per composer. Nothing raises: every failure is
// a `false`, after which the decoder is ready for the next picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class TStripDecoder {
 public:
  TStripDecoder();
  ~TStripDecoder();
  TStripDecoder(const TStripDecoder&) = delete;
  TStripDecoder& operator=(const TStripDecoder&) = delete;

  // Reads the headers and sets the decode up. False when the bytes are no
  // JPEG the codec can turn into 32-bit rows, when the picture is above
  // `maxPixels`, or when no end-of-image marker follows the first scan's
  // header (cut off: refused before a row is decoded).
  bool Start(const std::uint8_t* jpeg, std::size_t size, long long maxPixels);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // The next `rows` rows, `stride` pixels apart, each Width() pixels of
  // 0xFFRRGGBB words. False on damaged data; the decode is then over.
  bool Read(std::uint32_t* pixels, int rows, std::size_t stride);
  // Ends a decode whose rows were all read (false if its end is damaged), or
  // gives up one that was not.
  bool Finish();

  // The codec's own state; known only to the implementation.
  struct TState;

 private:
  bool Fail();

  std::unique_ptr<TState> FState;
  bool FActive = false;
  int FWidth = 0;
  int FHeight = 0;
};
