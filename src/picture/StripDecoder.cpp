#include "picture/StripDecoder.h"

#include <QtGlobal>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <limits>

#include <jpeglib.h>

// The codec reports errors by calling back, and a callback that returns makes
// it end the process; so each entry below sets a jump point that the callback
// goes back to. Nothing between the jump point and the codec's calls owns a
// resource, so the jump skips no destructor.
struct TStripDecoder::TState {
  jpeg_decompress_struct Info{};
  jpeg_error_mgr Errors{};
  std::jmp_buf Jump{};
};

namespace {

TStripDecoder::TState* StateOf(j_common_ptr info) {
  // `Errors` is the state's second member; the codec hands back its own struct.
  return reinterpret_cast<TStripDecoder::TState*>(reinterpret_cast<char*>(info->err) -
                                                  offsetof(TStripDecoder::TState, Errors));
}

[[noreturn]] void OnError(j_common_ptr info) { std::longjmp(StateOf(info)->Jump, 1); }

// Negative levels are warnings about damaged data; the others are trace lines.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) std::longjmp(StateOf(info)->Jump, 1);
}

void Quiet(j_common_ptr) {}

// Whether an end-of-image marker lies at or after `from`. Inside coded data a
// 0xFF byte is always followed by 0x00 or a restart marker, so a 0xFF 0xD9 pair
// after the scan's header is the end of the picture and a cut-off stream has
// none. Searched from the end, where it is.
bool HasEnd(const std::uint8_t* jpeg, std::size_t size, std::size_t from) {
  for (std::size_t i = size; i >= from + 2; --i)
    if (jpeg[i - 2] == 0xFF && jpeg[i - 1] == 0xD9) return true;
  return false;
}

}  // namespace

TStripDecoder::TStripDecoder() : FState(std::make_unique<TState>()) {
  TState& state = *FState;
  state.Info.err = jpeg_std_error(&state.Errors);
  state.Errors.error_exit = OnError;
  state.Errors.emit_message = OnMessage;
  state.Errors.output_message = Quiet;
  if (setjmp(state.Jump)) {
    // Only out of memory gets here; every later call then fails at once.
    FState.reset();
    return;
  }
  jpeg_create_decompress(&state.Info);
}

TStripDecoder::~TStripDecoder() {
  if (FState) jpeg_destroy_decompress(&FState->Info);
}

bool TStripDecoder::Fail() {
  jpeg_abort_decompress(&FState->Info);
  FActive = false;
  FWidth = FHeight = 0;
  return false;
}

bool TStripDecoder::Start(const std::uint8_t* jpeg, std::size_t size, long long maxPixels) {
  if (!FState || !jpeg || size == 0 || size > std::numeric_limits<unsigned long>::max()) return false;
  if (FActive) Fail();
  jpeg_decompress_struct& info = FState->Info;
  if (setjmp(FState->Jump)) return Fail();
  FActive = true;
  jpeg_mem_src(&info, jpeg, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
  if (info.image_width == 0 || info.image_height == 0 || pixels > maxPixels) return Fail();
  if (!HasEnd(jpeg, size, static_cast<std::size_t>(info.src->next_input_byte - jpeg))) return Fail();
  // Qt's 32-bit formats are native-endian words 0xAARRGGBB; the codec fills
  // the fourth byte with 0xFF, as Format_RGB32 requires.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  info.out_color_space = JCS_EXT_BGRX;
#else
  info.out_color_space = JCS_EXT_XRGB;
#endif
  jpeg_start_decompress(&info);
  if (info.output_components != 4) return Fail();
  FWidth = static_cast<int>(info.output_width);
  FHeight = static_cast<int>(info.output_height);
  return true;
}

bool TStripDecoder::Read(std::uint32_t* pixels, int rows, std::size_t stride) {
  if (!FActive || rows <= 0 || static_cast<long long>(FState->Info.output_scanline) + rows > FHeight) return false;
  jpeg_decompress_struct& info = FState->Info;
  // The codec wants an array of row addresses; a strip is at most this tall.
  constexpr int MaxRows = 64;
  if (rows > MaxRows) return false;
  JSAMPROW lines[MaxRows];
  for (int row = 0; row < rows; ++row)
    lines[row] = reinterpret_cast<JSAMPROW>(pixels + static_cast<std::size_t>(row) * stride);
  if (setjmp(FState->Jump)) return Fail();
  int done = 0;
  while (done < rows) {
    const JDIMENSION got = jpeg_read_scanlines(&info, lines + done, static_cast<JDIMENSION>(rows - done));
    // None at all means the codec is waiting for data it will never get.
    if (got == 0) return Fail();
    done += static_cast<int>(got);
  }
  return true;
}

bool TStripDecoder::Finish() {
  if (!FActive) return false;
  if (FState->Info.output_scanline < FState->Info.output_height) return Fail();
  if (setjmp(FState->Jump)) return Fail();
  jpeg_finish_decompress(&FState->Info);
  FActive = false;
  return true;
}
