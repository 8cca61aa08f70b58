// The status bar panels the controller writes.
#pragma once

namespace vantor {

constexpr int kConnectionPanel = 1;
constexpr int kVersionPanel = 3;
constexpr int kSavePanel = 4;

}  // namespace vantor
