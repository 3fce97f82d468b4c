#include "render/figure.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace ralvo {
namespace embedded {
// Defined in the source generated from assets/pictures at build time.
const unsigned char* FindPicture(const char* name, size_t* size);
}  // namespace embedded

namespace {

bool LoadNamed(const std::string& name, Image& img) {
    size_t size = 0;
    const unsigned char* data = embedded::FindPicture((name + ".png").c_str(), &size);
    return data && LoadPngData(data, size, img);
}

}  // namespace

std::vector<std::pair<std::string, Image*>> FigurePictures(Figure& fig) {
    std::vector<std::pair<std::string, Image*>> out;
    for (int n = 1; n < static_cast<int>(fig.CellPic.size()); ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "CellPic%02d", n);
        out.emplace_back(name, &fig.CellPic[n]);
    }
    out.insert(out.end(), {
        {"VehiPic", &fig.VehiPic},   {"VmskPic", &fig.VmskPic},   {"RockPic", &fig.RockPic},
        {"RmskPic", &fig.RmskPic},   {"PlanePic", &fig.PlanePic}, {"PmaskPic", &fig.PmaskPic},
        {"BombPic", &fig.BombPic},   {"BmskPic", &fig.BmskPic},   {"CrashPic", &fig.CrashPic},
        {"CmaskPic", &fig.CmaskPic}, {"MarshPic", &fig.MarshPic}, {"MmaskPic", &fig.MmaskPic},
        {"FallPic", &fig.FallPic},   {"FmskPic", &fig.FmskPic},   {"WarpPic", &fig.WarpPic},
        {"SidePic", &fig.SidePic},   {"TopbPic", &fig.TopbPic},   {"NookPic", &fig.NookPic},
        {"TxtScore", &fig.TxtScore}, {"TxtTotal", &fig.TxtTotal}, {"TxtTime", &fig.TxtTime},
        {"TxtNext", &fig.TxtNext},   {"TxtDigit", &fig.TxtDigit}, {"MsgText0", &fig.MsgText[0]},
        {"MsgText1", &fig.MsgText[1]}, {"MsgText2", &fig.MsgText[2]}, {"MsgText3", &fig.MsgText[3]},
        {"TitlePic", &fig.TitlePic},
    });
    return out;
}

void LoadFigure(Figure& fig) {
    // A picture that is missing stays empty; the picture-store test guards against that.
    fig.CellPic[0] = Image();
    for (const auto& [name, img] : FigurePictures(fig)) LoadNamed(name, *img);
}

bool LoadProgramIcon(Image& icon) { return LoadNamed("Icon", icon); }

}  // namespace ralvo
