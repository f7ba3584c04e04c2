// Texts of the defect and pile type codes.
#include "core/PileTypes.h"

namespace pw {
namespace {

constexpr const char* kDefectTexts[kDefectTypeCount] = {"无缺陷", "扩径", "缩径", "断桩",
                                                        "裂纹",   "夹泥", "离析", "扩底"};
constexpr const char* kPileTexts[kPileTypeCount] = {"沉管灌注桩", "钻孔灌注桩",   "人工挖孔灌注桩",
                                                    "扩底桩",     "夯扩桩",       "混凝土预制桩",
                                                    "预应力管桩", "钢桩"};

} // namespace

const char* DefectTypeText(int code) {
    return code >= 0 && code < kDefectTypeCount ? kDefectTexts[code] : "未知缺陷";
}

const char* PileTypeText(int code) { return code >= 0 && code < kPileTypeCount ? kPileTexts[code] : ""; }

} // namespace pw
