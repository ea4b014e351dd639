// What the operator is told about the board and the camera, shared by the
// shot and the fault handling.
#pragma once

#include <QString>

inline QString BoardFailedText() {
  return QString::fromUtf8("조명·모터 보드에 명령을 보내지 못했습니다. 보드 연결을 확인하세요.");
}
inline QString CameraGoneText() {
  return QString::fromUtf8("카메라 연결이 끊어졌습니다. 카메라 전원과 USB 연결을 확인하세요.");
}
