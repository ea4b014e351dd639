// The scene's JPEG encoding, with the JPEG library.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "simulator/camera/SimScene.h"

namespace SimScene {
namespace {
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};
void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1); }
void OnJpegMessage(j_common_ptr) {}
}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const std::uint8_t* rgb, int width, int height, int quality) {
  // Only plain C objects live between setjmp and a possible longjmp.
  jpeg_compress_struct info;
  TJpegError error;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnJpegError;
  error.Manager.output_message = OnJpegMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.dct_method = JDCT_IFAST;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * width * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace SimScene
