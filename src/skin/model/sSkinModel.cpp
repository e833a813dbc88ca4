#include "skin/model/sSkinModel.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <set>
#include <unordered_map>

#include "base/SysUtils.h"
#include "skin/model/sSkinPixels.h"

namespace kv {
namespace {

// Keys that are section values, never images: kept out of the mask and
// pattern readers so that a description holding "#" or ".jpg" stays text.
// "GLOW" is not among them: it is both the glow count and the glow mask.
// clang-format off
const std::set<std::string> kGeneralKeys = {
    "PARENTCLASS", "COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM",
    "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "GIVEOWNFONT",
    "GLOWMARGIN", "RESERVEDBOOLEAN", "TRANSPARENCY", "GRADIENTPERCENT", "GRADIENTDATA",
    "IMAGEPERCENT", "SHOWFOCUS", "FADINGENABLED", "FADINGITERATIONS", "HOTCOLOR",
    "HOTTRANSPARENCY", "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT"};
const std::set<std::string> kGlobalKeys = {
    "MASTERBITMAP", "VERSION", "AUTHOR", "DESCRIPTION", "SHADOW1COLOR", "SHADOW1OFFSET",
    "SHADOW1BLUR", "SHADOW1TRANSPARENCY", "BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT",
    "FORMOFFSET", "CENTEROFFSET", "BORDERMODE", "BORDERCOLOR", "BISPACE", "BIVALIGN", "BIRIGHT",
    "BILEFT", "BIKEEPHUE", "BICONCLOSEGLOW", "BICONCLOSEGLOWMARGIN", "BICONMAXGLOW",
    "BICONMAXGLOWMARGIN", "BICONMINGLOW", "BICONMINGLOWMARGIN"};
// clang-format on

const char* const kFontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
const char* const kHotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT",
                                     "HOTTCBOTTOM"};

constexpr std::int64_t kMaxImagePixels = 8192LL * 8192LL;
// The most states a one-digit count writes; a mask with more paints nothing.
constexpr int kMaxMaskType = 9;
// Far beyond what any skin needs; larger numbers are taken for damage.
constexpr std::size_t kMaxSections = 4096;
constexpr std::size_t kMaxParentDepth = 64;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// 1-based Copy that tolerates positions past the end.
std::string_view Copy(std::string_view s, std::size_t pos, std::size_t len) {
  if (pos < 1 || pos > s.size()) return {};
  return s.substr(pos - 1, len);
}

std::vector<std::string_view> Words(std::string_view s, std::string_view separators) {
  std::vector<std::string_view> out;
  std::size_t pos = 0;
  while (pos < s.size()) {
    const std::size_t start = s.find_first_not_of(separators, pos);
    if (start == std::string_view::npos) break;
    std::size_t end = s.find_first_of(separators, start);
    if (end == std::string_view::npos) end = s.size();
    out.push_back(s.substr(start, end - start));
    pos = end;
  }
  return out;
}

// Where the images of a skin come from: a pack's entries or a folder.
struct ImageSource {
  const TacSkinConvertor* Pack = nullptr;
  std::string Folder;  // with a trailing separator

  // Pack entries are matched by their upper-cased name against Name as given.
  std::optional<TacBytes> Get(const std::string& name) const {
    if (Pack) {
      const TacImageItem* item = Pack->FindEntry(name);
      if (!item) return std::nullopt;
      return item->EntryData;
    }
    if (Folder.empty() && name.find(':') == std::string::npos) return std::nullopt;
    return ReadSkinFile(name.find(':') != std::string::npos ? name : Folder + name);
  }
};

std::shared_ptr<TBitmap> ReadBitmap(const TacBytes& bytes) {
  auto bmp = std::make_shared<TBitmap>();
  ReadBmp(bytes.data(), bytes.size(), *bmp);
  return bmp;
}

void CheckPictureSize(const TBitmap& bmp) {
  if (std::int64_t(bmp.Width()) * bmp.Height() > kMaxImagePixels) {
    throw ESkinError("the picture is too large");
  }
}

ESkinError KeyError(const std::string& section, const std::string& key, const std::string& what) {
  return ESkinError("Skin section \"" + section + "\" key \"" + key + "\": " + what);
}

}  // namespace

// Builds a model from an options text and its images; any fault raises.
class TsSkinLoader {
 public:
  TsSkinLoader(TsSkinModel& model, const TsIniText& ini, ImageSource images,
               const TsSkinLoadOptions& options, const TsStoredSkin* stored = nullptr)
      : m_(model), ini_(ini), images_(std::move(images)), o_(options), stored_(stored) {}

  void Run() {
    m_.colorToRGB_ = o_.ColorToRGB;
    CheckSections();
    LoadMasterBitmap();
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    m_.UpdateCommonIndexes();
    m_.CommonSkinData.Active = true;
  }

 private:
  // -- inheritance -----------------------------------------------------------

  // Rejects skins too large to be meant, and PARENTCLASS chains that loop or
  // run deeper than any skin needs; the readers below can then follow a
  // chain without guarding it.
  void CheckSections() const {
    if (sections_.size() > kMaxSections) {
      throw ESkinError("Skin options hold " + std::to_string(sections_.size()) +
                       " sections, more than " + std::to_string(kMaxSections));
    }
    std::unordered_map<std::string, int> depthOf;  // upper-cased name -> chain length
    for (const std::string& start : sections_) {
      std::vector<std::string> chain{start};
      std::string current = start;
      int known = 0;
      for (;;) {
        const auto done = depthOf.find(UpperSkinName(current));
        if (done != depthOf.end()) {
          known = done->second;
          chain.pop_back();
          break;
        }
        const std::string parent = Parent(current);
        if (parent.empty() || !ini_.SectionExists(parent)) break;
        const bool seen = std::any_of(chain.begin(), chain.end(), [&](const std::string& s) {
          return SameSkinName(s, parent);
        });
        chain.push_back(parent);
        if (seen) {
          std::string path;
          for (const std::string& s : chain) path += (path.empty() ? "" : " -> ") + s;
          throw ESkinError("Skin section \"" + start +
                           "\" inherits from itself through PARENTCLASS (" + path + ")");
        }
        if (chain.size() > kMaxParentDepth) {
          throw ESkinError("Skin section \"" + start + "\" has a PARENTCLASS chain deeper than " +
                           std::to_string(kMaxParentDepth));
        }
        current = parent;
      }
      // Each section of the chain now has a known depth below it.
      for (std::size_t i = chain.size(); i-- > 0;) {
        const int depth = known + static_cast<int>(chain.size() - i);
        if (depth > static_cast<int>(kMaxParentDepth)) {
          throw ESkinError("Skin section \"" + start + "\" has a PARENTCLASS chain deeper than " +
                           std::to_string(kMaxParentDepth));
        }
        depthOf.emplace(UpperSkinName(chain[i]), depth);
      }
    }
  }

  std::string Parent(const std::string& section) const {
    const std::string parent = ini_.ReadString(section, "PARENTCLASS", "?");
    if (parent.empty() || parent == "?" || SameSkinName(parent, section)) return {};
    return parent;
  }

  int ReadInheritedInteger(const std::string& section, const char* key, int def) const {
    std::string s = section;
    for (std::size_t depth = 0; !s.empty() && depth <= kMaxParentDepth; ++depth) {
      const int v = ini_.ReadInteger(s, key, -1);
      if (v != -1) return v;
      s = Parent(s);
    }
    return def;
  }

  std::string ReadInheritedString(const std::string& section, const char* key,
                                  const std::string& def) const {
    std::string s = section;
    for (std::size_t depth = 0; !s.empty() && depth <= kMaxParentDepth; ++depth) {
      std::string v = ini_.ReadString(s, key, "?");
      if (v != "?") return v;
      s = Parent(s);
    }
    return def;
  }

  bool ReadInheritedBool(const std::string& section, const char* key) const {
    return UpperSkinName(ReadInheritedString(section, key, "FALSE")) == "TRUE";
  }

  // -- images ----------------------------------------------------------------

  std::shared_ptr<TBitmap> Decode(const std::string& section, const std::string& key,
                                  const std::string& name, const TacBytes& bytes) const {
    const std::string upper = UpperSkinName(name);
    try {
      std::shared_ptr<TBitmap> bmp;
      if (Contains(upper, ".BMP")) {
        bmp = ReadBitmap(bytes);
      } else if (Contains(upper, ".PNG")) {
        if (!o_.DecodePng) return nullptr;
        bmp = o_.DecodePng(bytes);
        if (bmp) ClearWhiteTransparentPixels(*bmp);
      } else if (Contains(upper, ".JPG") || Contains(upper, ".JPEG")) {
        if (!o_.DecodeJpeg) return nullptr;
        bmp = o_.DecodeJpeg(bytes);
      }
      if (bmp) CheckPictureSize(*bmp);
      return bmp;
    } catch (const ESkinError& e) {
      throw KeyError(section, key, "image \"" + name + "\": " + e.Message());
    } catch (const std::exception& e) {
      throw KeyError(section, key, "image \"" + name + "\": " + e.what());
    }
  }

  // A missing or undecodable image leaves its key without a mask.
  std::shared_ptr<TBitmap> LoadImage(const std::string& section, const std::string& key,
                                     const std::string& name) {
    const std::optional<TacBytes> bytes = images_.Get(name);
    std::shared_ptr<TBitmap> bmp;
    if (bytes) bmp = Decode(section, key, name, *bytes);
    if (!bmp || bmp->Width() <= 0) {
      m_.SkippedKeys.push_back(section + "." + key + " (" + name + ")");
      return nullptr;
    }
    return bmp;
  }

  static void MakeMaster(TBitmap& bmp) {
    bmp.SetPixelFormat(pf24bit);
    bmp.Transparent = true;
    bmp.TransparentColor = TransparentColor;
  }

  void LoadMasterBitmap() {
    if (stored_) {
      if (stored_->MasterBitmap.Empty()) return;
      auto bmp = std::make_shared<TBitmap>(stored_->MasterBitmap);
      CheckPictureSize(*bmp);
      MakeMaster(*bmp);
      m_.MasterBitmap = std::move(bmp);
      return;
    }
    const std::string name = ini_.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    if (name.empty()) return;
    const std::optional<TacBytes> bytes = images_.Get(name);
    if (!bytes) {  // loaded when it exists; the masks cut from it are skipped without it
      m_.SkippedKeys.push_back("GLOBALINFO.MASTERBITMAP (" + name + ")");
      return;
    }
    std::shared_ptr<TBitmap> bmp;
    try {
      bmp = ReadBitmap(*bytes);
      CheckPictureSize(*bmp);
    } catch (const std::exception& e) {
      throw ESkinError("Master bitmap \"" + name + "\": " + e.what());
    }
    MakeMaster(*bmp);
    m_.MasterBitmap = std::move(bmp);
  }

  // -- masks -----------------------------------------------------------------

  int Field(const std::string& section, const std::string& key, std::string_view text) const {
    std::int32_t v = 0;
    if (!TryStrToInt(text, v)) {
      throw KeyError(section, key, "'" + std::string(text) + "' is not a valid integer value");
    }
    return v;
  }

  static void ComputeMargins(TsMaskData& mk, const std::string& s, const std::string& k) {
    if (mk.WL + mk.WT + mk.WR + mk.WB != 0) return;
    if (mk.BorderWidth != 0) {
      mk.WL = mk.WT = mk.WR = mk.WB = mk.BorderWidth;
      return;
    }
    // A mask without frames or states has no thirds to take; it paints nothing.
    if (mk.ImageCount < 1 || mk.MaskType < 0) return;
    const std::int64_t w = std::int64_t{mk.R.Right} - mk.R.Left;
    const std::int64_t h = std::int64_t{mk.R.Bottom} - mk.R.Top;
    mk.WL = mk.WR = Short(s, k, w / (mk.ImageCount * 3));
    mk.WT = mk.WB = Short(s, k, h / ((mk.MaskType + 1) * 3));
  }

  static bool Paintable(const TsMaskData& mk) {
    return mk.ImageCount >= 1 && mk.MaskType >= 0 && mk.MaskType <= kMaxMaskType &&
           mk.WL >= 0 && mk.WT >= 0 && mk.WR >= 0 && mk.WB >= 0 && mk.BorderWidth >= 0 &&
           MaskFrameWidth(mk) >= 1 && MaskStateHeight(mk) >= 1;
  }

  // What every painter skips: no frames of no size in no image. The key keeps
  // its record, so that it is found itself rather than its parent's.
  static void MakeEmpty(TsMaskData& mk) {
    mk.Bmp.reset();
    mk.R = {};
    mk.ImageCount = 0;
    mk.MaskType = 0;
    mk.BorderWidth = 0;
    mk.WL = mk.WT = mk.WR = mk.WB = 0;
  }

  // A mask with no frames, frames or states under one pixel, a negative
  // margin or more states than a value can write paints nothing, as a skin
  // made for it expects. One whose rectangle leaves its image, or whose
  // image is missing, costs the key its mask (listed in SkippedKeys); the
  // rest of the skin loads either way.
  bool Admit(TsMaskData& mk, const std::string& section, const std::string& key) {
    const TBitmap* img = mk.Bmp ? mk.Bmp.get() : m_.MasterBitmap.get();
    if (!img) {
      m_.SkippedKeys.push_back(section + "." + key + " (no master bitmap)");
      return false;
    }
    const TRect& r = mk.R;
    const bool flat = r.Right <= r.Left || r.Bottom <= r.Top;
    if (!flat && (r.Left < 0 || r.Top < 0 || r.Right > img->Width() || r.Bottom > img->Height())) {
      m_.SkippedKeys.push_back(section + "." + key + " (rectangle " + std::to_string(r.Left) +
                               ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) +
                               ", " + std::to_string(r.Bottom) + " is not inside its " +
                               std::to_string(img->Width()) + " x " +
                               std::to_string(img->Height()) + " image)");
      return false;
    }
    if (flat || !Paintable(mk)) MakeEmpty(mk);
    return true;
  }

  void ReadRect(TsMaskData& mk, const std::string& s, const std::string& k, std::string_view v) {
    mk.R = {Field(s, k, Copy(v, 2, 4)), Field(s, k, Copy(v, 7, 4)), Field(s, k, Copy(v, 12, 4)),
            Field(s, k, Copy(v, 17, 4))};
  }

  // Record fields are 16 bits wide; a wider number is damage, not a wrap.
  static std::int16_t Short(const std::string& s, const std::string& k, std::int64_t v) {
    if (v < INT16_MIN || v > INT16_MAX)
      throw KeyError(s, k, std::to_string(v) + " is out of range");
    return static_cast<std::int16_t>(v);
  }

  std::optional<TsMaskData> ParseMask(const std::string& s, const std::string& k,
                                      const std::string& v) {
    TsMaskData mk;
    mk.SectionName = s;
    mk.PropertyName = k;
    switch (v.front()) {
      case '~':
        ReadRect(mk, s, k, v);
        mk.StretchMode = Short(s, k, Field(s, k, Copy(v, 22, 2)));
        mk.MaskType = v.size() > 24 ? Short(s, k, Field(s, k, Copy(v, 25, 1))) : 0;
        mk.ImgType = itisaTexture;
        mk.ImageCount = 1;
        return mk;
      case '@':
        ReadRect(mk, s, k, v);
        mk.ImageCount = Short(s, k, Field(s, k, Copy(v, 22, 1)));
        mk.MaskType = Short(s, k, Field(s, k, Copy(v, 24, 1)));
        mk.ImgType = itisaGlyph;
        return mk;
      case '^':
        ReadRect(mk, s, k, v);
        mk.WL = Short(s, k, Field(s, k, Copy(v, 22, 4)));
        mk.WT = Short(s, k, Field(s, k, Copy(v, 27, 4)));
        mk.WR = Short(s, k, Field(s, k, Copy(v, 32, 4)));
        mk.WB = Short(s, k, Field(s, k, Copy(v, 37, 4)));
        mk.ImageCount = Short(s, k, Field(s, k, Copy(v, 42, 1)));
        mk.MaskType = Short(s, k, Field(s, k, Copy(v, 44, 1)));
        mk.StretchMode = Short(s, k, Field(s, k, Copy(v, 46, 1)));
        mk.BorderWidth = Short(s, k, Field(s, k, Copy(v, 48, 1)));
        mk.ImgType = itisaBorder;
        ComputeMargins(mk, s, k);
        return mk;
      case '!':
        return ParseSeparateImage(mk, s, k, v);
      default:
        break;
    }
    if (Contains(v, "#")) return ParseWordFormat(mk, s, k, v);
    const std::string upper = UpperSkinName(v);
    if (!Contains(upper, ".BMP")) return std::nullopt;
    mk.SectionName = UpperSkinName(s);
    mk.PropertyName = UpperSkinName(k);
    mk.Bmp = LoadImage(s, k, upper);
    if (!mk.Bmp) return std::nullopt;
    mk.Bmp->SetPixelFormat(pf24bit);
    mk.ImageCount = 3;
    mk.MaskType = 1;
    mk.R = {0, 0, mk.Bmp->Width(), mk.Bmp->Height()};
    ComputeMargins(mk, s, k);
    return mk;
  }

  std::optional<TsMaskData> ParseSeparateImage(TsMaskData& mk, const std::string& s,
                                               const std::string& k, const std::string& v) {
    const auto w = Words(v, "!");
    if (w.empty()) return std::nullopt;
    const std::string file(w[0]);
    if (!Contains(file, ".BMP") && !Contains(file, ".PNG")) return std::nullopt;
    auto word = [&](std::size_t i) { return Field(s, k, i < w.size() ? w[i] : ""); };
    // The numbers are read only for an image that is there: a key whose file
    // is missing is skipped whatever it says.
    mk.Bmp = LoadImage(s, k, file);
    if (!mk.Bmp) return std::nullopt;
    const int count = word(1), maskType = word(2);
    mk.ImgType = static_cast<TacImgType>(std::clamp(word(3), 0, 4));
    if (Contains(file, ".BMP") && mk.ImgType != itisaTexture) mk.Bmp->SetPixelFormat(pf24bit);
    mk.ImageCount = Short(s, k, count);
    mk.MaskType = Short(s, k, maskType);
    mk.StretchMode = 4;
    mk.R = {0, 0, mk.Bmp->Width(), mk.Bmp->Height()};
    if (w.size() > 4) {
      mk.WL = Short(s, k, word(4));
      mk.WT = Short(s, k, word(5));
      mk.WR = Short(s, k, word(6));
      mk.WB = Short(s, k, word(7));
    } else {
      ComputeMargins(mk, s, k);
    }
    return mk;
  }

  std::optional<TsMaskData> ParseWordFormat(TsMaskData& mk, const std::string& s,
                                            const std::string& k, const std::string& v) {
    if (v == "#") return std::nullopt;
    const auto w = Words(v, " ()");
    const auto rect = Words(w.size() > 1 ? w[1] : "", " ,");
    const auto counts = Words(w.size() > 2 ? w[2] : "", " ,");
    auto at = [&](const std::vector<std::string_view>& g, std::size_t i) {
      return Field(s, k, i < g.size() ? g[i] : "");
    };
    mk.SectionName = UpperSkinName(s);
    mk.PropertyName = UpperSkinName(k);
    mk.R = {at(rect, 0), at(rect, 1), at(rect, 2), at(rect, 3)};
    mk.ImageCount = Short(s, k, std::max(1, at(counts, 0)));
    mk.MaskType = Short(s, k, std::max(0, at(counts, 1)));
    mk.BorderWidth = Short(s, k, counts.size() > 2 ? std::max(0, at(counts, 2)) : 0);
    mk.StretchMode = Short(s, k, counts.size() > 3 ? at(counts, 3) : 1);
    mk.ImgType = itisaBorder;
    ComputeMargins(mk, s, k);
    return mk;
  }

  bool IsGeneralKey(const std::string& section, const std::string& key) const {
    const std::string upper = UpperSkinName(key);
    if (kGeneralKeys.count(upper)) return true;
    return SameSkinName(section, "GLOBALINFO") && kGlobalKeys.count(upper);
  }

  // A stored image item: a picture of its own or a rectangle of the master.
  std::optional<TsMaskData> StoredMask(const TsSkinImage& item) {
    const std::string s = UpperSkinName(item.SectionName), k = UpperSkinName(item.PropertyName);
    TsMaskData mk;
    mk.SectionName = s;
    mk.PropertyName = k;
    if (!item.Image.Empty()) {
      mk.Bmp = std::make_shared<TBitmap>(item.Image);
      CheckPictureSize(*mk.Bmp);
      mk.Bmp->SetPixelFormat(pf24bit);
      mk.R = {0, 0, mk.Bmp->Width(), mk.Bmp->Height()};
    } else {
      mk.R = {item.Left, item.Top, item.Right, item.Bottom};
    }
    mk.ImageCount = Short(s, k, item.ImageCount);
    mk.MaskType = Short(s, k, item.MaskType);
    if (mk.ImageCount == 0) {
      mk.ImageCount = 3;
      mk.MaskType = 1;
    }
    mk.BorderWidth = Short(s, k, item.BorderWidth);
    mk.StretchMode = Short(s, k, item.StretchMode);
    mk.ImgType = static_cast<TacImgType>(std::min<int>(item.ImgType, itisaPngGlyph));
    mk.WL = Short(s, k, item.WL);
    mk.WT = Short(s, k, item.WT);
    mk.WR = Short(s, k, item.WR);
    mk.WB = Short(s, k, item.WB);
    ComputeMargins(mk, s, k);
    return mk;
  }

  void LoadAllMasks() {
    if (stored_) {
      for (int i = 0; i < stored_->Images.Count(); ++i) {
        const TsSkinImage& item = stored_->Images.Items(i);
        std::optional<TsMaskData> mk = StoredMask(item);
        if (!mk || !Admit(*mk, mk->SectionName, mk->PropertyName)) continue;
        m_.MaskData.push_back(std::move(*mk));
      }
    }
    for (const std::string& s : sections_) {
      for (const std::string& k : ini_.ReadSection(s)) {
        if (IsGeneralKey(s, k)) continue;
        const std::string v = ini_.ReadString(s, k, "");
        if (v.empty()) continue;
        std::optional<TsMaskData> mk = ParseMask(s, k, v);
        if (!mk || !Admit(*mk, s, k)) continue;
        m_.MaskData.push_back(std::move(*mk));
      }
    }
    LoadCommonSectionMasks();
  }

  void LoadCommonSectionMasks() {
    if (o_.CommonSections.empty()) return;
    const TsIniText cs(o_.CommonSections, TsIniLines::AsWritten);
    for (const std::string& s : cs.ReadSections()) {
      if (SameSkinName(s, "GLOBALINFO")) continue;
      for (const std::string& k : cs.ReadSection(s)) {
        if (IsGeneralKey(s, k)) continue;
        const std::string v = cs.ReadString(s, k, "-");
        if (v.empty()) continue;
        TsMaskData mk;
        std::optional<TsMaskData> parsed;
        if (v.front() != '~' && v.front() != '@' && v.front() != '^' && v.front() != '!' &&
            Contains(v, "#")) {
          if (!m_.MasterBitmap) continue;
          parsed = ParseWordFormat(mk, s, k, v);
        } else if (Contains(UpperSkinName(v), ".BMP")) {
          mk.SectionName = UpperSkinName(s);
          mk.PropertyName = UpperSkinName(k);
          // Beside the skin, not inside a pack.
          const ImageSource beside{nullptr, m_.CommonSkinData.SkinPath};
          const std::optional<TacBytes> bytes = beside.Get(v);
          if (bytes) mk.Bmp = Decode(s, k, UpperSkinName(v), *bytes);
          if (!mk.Bmp || mk.Bmp->Width() <= 0) {
            m_.SkippedKeys.push_back(s + "." + k + " (" + v + ")");
            continue;
          }
          // Only its image: counts and rectangle stay 0, as the painters expect.
          mk.Bmp->SetPixelFormat(pf24bit);
          m_.MaskData.push_back(std::move(mk));
          continue;
        }
        if (!parsed || !Admit(*parsed, s, k)) continue;
        m_.MaskData.push_back(std::move(*parsed));
      }
    }
  }

  // -- patterns --------------------------------------------------------------

  void AddPattern(const std::string& s, const std::string& k, std::shared_ptr<TBitmap> img) {
    if (std::int64_t(img->Width()) * img->Height() < 90000) {
      // A small picture tiles faster as a texture mask.
      TsMaskData mk;
      mk.Bmp = std::move(img);
      mk.SectionName = UpperSkinName(s);
      mk.PropertyName = UpperSkinName(k);
      mk.ImgType = itisaTexture;
      mk.ImageCount = 1;
      mk.R = {0, 0, mk.Bmp->Width(), mk.Bmp->Height()};
      m_.MaskData.push_back(std::move(mk));
    } else {
      m_.PatternData.push_back({std::move(img), UpperSkinName(s), UpperSkinName(k)});
    }
  }

  void LoadAllPatterns() {
    if (stored_) {
      for (int i = 0; i < stored_->Patterns.Count(); ++i) {
        const TsSkinPattern& item = stored_->Patterns.Items(i);
        if (item.Image.Width() <= 0) continue;
        auto img = std::make_shared<TBitmap>(item.Image);
        CheckPictureSize(*img);
        AddPattern(item.SectionName, item.PropertyName, std::move(img));
      }
    }
    for (const std::string& s : sections_) {
      for (const std::string& k : ini_.ReadSection(s)) {
        if (IsGeneralKey(s, k)) continue;
        const std::string v = UpperSkinName(ini_.ReadString(s, k, "-"));
        if (!Contains(v, ".JPG") && !Contains(v, ".JPEG")) continue;
        std::shared_ptr<TBitmap> img = LoadImage(s, k, v);
        if (img) AddPattern(s, k, std::move(img));
      }
    }
  }

  // -- options ---------------------------------------------------------------

  int GlobalTextInt(const char* key, const char* def) const {
    return Field("GLOBALINFO", key, ini_.ReadString("GLOBALINFO", key, def));
  }

  std::int16_t GlobalShort(const char* key, int def) const {
    return Short("GLOBALINFO", key, ini_.ReadInteger("GLOBALINFO", key, def));
  }

  void LoadGlobalInfo() {
    TsSkinData& d = m_.CommonSkinData;
    const std::string version = ini_.ReadString("GLOBALINFO", "VERSION", "");
    double v = 0;
    const auto res = std::from_chars(version.data(), version.data() + version.size(), v);
    d.Version = (res.ec == std::errc() && res.ptr == version.data() + version.size()) ? v : 0;
    d.Author = ini_.ReadString("GLOBALINFO", "AUTHOR", "");
    d.Description = ini_.ReadString("GLOBALINFO", "DESCRIPTION", "");
    d.Shadow1Color = ini_.ReadInteger("GLOBALINFO", "SHADOW1COLOR", 0);
    d.Shadow1Offset = Short("GLOBALINFO", "SHADOW1OFFSET", GlobalTextInt("SHADOW1OFFSET", "0"));
    d.Shadow1Blur = Short("GLOBALINFO", "SHADOW1BLUR", GlobalTextInt("SHADOW1BLUR", "-1"));
    d.Shadow1Transparency =
        Short("GLOBALINFO", "SHADOW1TRANSPARENCY", GlobalTextInt("SHADOW1TRANSPARENCY", "0"));
    d.BorderWidth = GlobalShort("BORDERWIDTH", 4);
    d.TitleHeight = GlobalShort("TITLEHEIGHT", 30);
    d.MaxTitleHeight = GlobalShort("MAXHEIGHT", 0);
    if (d.MaxTitleHeight == 0) d.MaxTitleHeight = d.TitleHeight;
    d.FormOffset = GlobalShort("FORMOFFSET", 8);
    d.CenterOffset = GlobalShort("CENTEROFFSET", 0);
    d.BorderMode = GlobalShort("BORDERMODE", 0);
    d.BorderColor = ini_.ReadInteger("GLOBALINFO", "BORDERCOLOR", 0);
    d.BISpacing = GlobalShort("BISPACE", 0);
    d.BIVAlign = GlobalShort("BIVALIGN", 0);
    d.BIRightMargin = GlobalShort("BIRIGHT", 0);
    d.BILeftMargin = GlobalShort("BILEFT", 0);
    d.BIKeepHue = GlobalShort("BIKEEPHUE", 0);
    d.BICloseGlow = Short("GLOBALINFO", "BICONCLOSEGLOW", GlobalTextInt("BICONCLOSEGLOW", "0"));
    d.BICloseGlowMargin =
        Short("GLOBALINFO", "BICONCLOSEGLOWMARGIN", GlobalTextInt("BICONCLOSEGLOWMARGIN", "0"));
    d.BIMaxGlow = Short("GLOBALINFO", "BICONMAXGLOW", GlobalTextInt("BICONMAXGLOW", "0"));
    d.BIMaxGlowMargin =
        Short("GLOBALINFO", "BICONMAXGLOWMARGIN", GlobalTextInt("BICONMAXGLOWMARGIN", "0"));
    d.BIMinGlow = Short("GLOBALINFO", "BICONMINGLOW", GlobalTextInt("BICONMINGLOW", "0"));
    d.BIMinGlowMargin =
        Short("GLOBALINFO", "BICONMINGLOWMARGIN", GlobalTextInt("BICONMINGLOWMARGIN", "0"));
  }

  // The skin-wide values a stored skin carries; the others keep their defaults.
  void LoadStoredGlobalInfo() {
    TsSkinData& d = m_.CommonSkinData;
    const TsStoredSkin& st = *stored_;
    d.Version = st.Version;
    d.Author = st.Author;
    d.Description = st.Description;
    d.Shadow1Color = st.Shadow1Color;
    d.Shadow1Offset = Short("GLOBALINFO", "Shadow1Offset", st.Shadow1Offset);
    d.Shadow1Blur = Short("GLOBALINFO", "Shadow1Blur", st.Shadow1Blur);
    d.Shadow1Transparency = Short("GLOBALINFO", "Shadow1Transparency", st.Shadow1Transparency);
    d.BorderColor = st.BorderColor;
    if (d.MaxTitleHeight == 0) d.MaxTitleHeight = d.TitleHeight;
  }

  // "main left top right bottom"; the sides only when all five are given.
  void SplitColours(const std::string& s, const char* key, const std::string& text,
                    std::array<std::int32_t, 5>& out) const {
    const auto w = Words(text, " ");
    if (w.size() >= 5) {
      for (std::size_t i = 0; i < 5; ++i) out[i] = Field(s, key, w[i]);
    } else {
      out = {w.empty() ? 0 : Field(s, key, w[0]), -1, -1, -1, -1};
    }
  }

  TsGeneralData StoredRecord(const TsSkinGeneral& item) const {
    const std::string& s = item.SectionName;
    TsGeneralData g;
    g.ClassName = s;
    g.ParentClass = item.ParentClass;
    g.Color = m_.ToRGB(item.Color);
    SplitColours(s, "FontColor", item.FontColor, g.FontColor);
    SplitColours(s, "HotFontColor", item.HotFontColor, g.HotFontColor);
    g.GiveOwnFont = item.GiveOwnFont;
    g.GlowCount = item.GlowCount;
    g.GlowMargin = item.GlowMargin;
    g.ReservedBoolean = item.ReservedBoolean;
    g.Transparency = item.Transparency;
    g.GradientPercent = item.GradientPercent;
    g.GradientData = item.GradientData.empty() ? " " : item.GradientData;
    ParseGradient(s, "GradientData", g.GradientData, g.GradientArray);
    g.ImagePercent = item.ImagePercent;
    g.ShowFocus = item.ShowFocus;
    g.FadingEnabled = item.FadingEnabled;
    g.FadingIterations = item.FadingIterations;
    g.HotColor = item.HotColor;
    g.HotTransparency = item.HotTransparency;
    g.HotGradientPercent = item.HotGradientPercent;
    g.HotGradientData = item.HotGradientData;
    ParseGradient(s, "HotGradientData", g.HotGradientData, g.HotGradientArray);
    g.HotImagePercent = item.HotImagePercent;
    return g;
  }

  void ParseGradient(const std::string& s, const char* key, const std::string& text,
                     TsGradArray& out) const {
    if (text == " " || text.empty()) return;
    try {
      ParseGradientData(text, out);
    } catch (const ESkinError& e) {
      throw KeyError(s, key, e.Message());
    }
  }

  TsGeneralData ReadSectionRecord(const std::string& s) const {
    TsGeneralData g;
    g.ClassName = s;
    g.ParentClass = ini_.ReadString(s, "PARENTCLASS", "");
    g.Color = m_.ToRGB(ReadInheritedInteger(s, "COLOR", 0xFFFFFF));
    for (int i = 0; i < 5; ++i) {
      g.FontColor[i] = ReadInheritedInteger(s, kFontKeys[i], i == 0 ? 0 : -1);
      g.HotFontColor[i] = ReadInheritedInteger(s, kHotFontKeys[i], i == 0 ? 0 : -1);
    }
    g.GiveOwnFont = ReadInheritedBool(s, "GIVEOWNFONT");
    g.GlowCount = ReadInheritedInteger(s, "GLOW", 0);
    g.GlowMargin = ReadInheritedInteger(s, "GLOWMARGIN", 0);
    g.ReservedBoolean = ReadInheritedBool(s, "RESERVEDBOOLEAN");
    g.Transparency = ReadInheritedInteger(s, "TRANSPARENCY", 0);
    g.GradientPercent = ReadInheritedInteger(s, "GRADIENTPERCENT", 0);
    g.GradientData = ReadInheritedString(s, "GRADIENTDATA", " ");
    ParseGradient(s, "GRADIENTDATA", g.GradientData, g.GradientArray);
    g.ImagePercent = ReadInheritedInteger(s, "IMAGEPERCENT", 0);
    g.ShowFocus = ReadInheritedBool(s, "SHOWFOCUS");
    g.FadingEnabled = ReadInheritedBool(s, "FADINGENABLED");
    g.FadingIterations = ReadInheritedInteger(s, "FADINGITERATIONS", 5);
    g.HotColor = ReadInheritedInteger(s, "HOTCOLOR", 0xFFFFFF);
    g.HotTransparency = ReadInheritedInteger(s, "HOTTRANSPARENCY", 0);
    g.HotGradientPercent = ReadInheritedInteger(s, "HOTGRADIENTPERCENT", 0);
    g.HotGradientData = ReadInheritedString(s, "HOTGRADIENTDATA", "");
    ParseGradient(s, "HOTGRADIENTDATA", g.HotGradientData, g.HotGradientArray);
    g.HotImagePercent = ReadInheritedInteger(s, "HOTIMAGEPERCENT", 0);
    return g;
  }

  // Sections added by the manager's CommonSections text that the skin lacks:
  // every field from the text, an absent one from the parent record.
  void MergeCommonSections() {
    if (o_.CommonSections.empty()) return;
    const TsIniText cs(o_.CommonSections, TsIniLines::AsWritten);
    for (const std::string& s : cs.ReadSections()) {
      if (m_.SectionIndexOf(s) >= 0) continue;
      const std::string parentName = UpperSkinName(cs.ReadString(s, "PARENTCLASS", "-1"));
      const TsGeneralData* parent = nullptr;
      for (const TsGeneralData& g : m_.GeneralData) {
        if (UpperSkinName(g.ClassName) == parentName) parent = &g;
        if (parent) break;
      }
      const TsGeneralData base = parent ? *parent : TsGeneralData{};
      TsGeneralData g = base;
      g.ClassName = s;
      g.ParentClass = parent ? parent->ClassName : "";
      auto num = [&](const char* key, std::int32_t inherited) {
        const int v = cs.ReadInteger(s, key, -1);
        return v == -1 ? inherited : v;
      };
      auto flag = [&](const char* key, bool inherited) {
        const std::string v = cs.ReadString(s, key, "?");
        return v == "?" ? inherited : UpperSkinName(v) == "TRUE";
      };
      auto gradient = [&](const char* key, std::string& data, TsGradArray& parsed) {
        const std::string text = cs.ReadString(s, key, "?");
        if (text == "?") return;
        data = text;
        parsed.clear();
        ParseGradient(s, key, text, parsed);
      };
      g.Color = m_.ToRGB(num("COLOR", base.Color));
      for (int i = 0; i < 5; ++i) {
        g.FontColor[i] = num(kFontKeys[i], base.FontColor[i]);
        g.HotFontColor[i] = num(kHotFontKeys[i], base.HotFontColor[i]);
      }
      g.GiveOwnFont = flag("GIVEOWNFONT", base.GiveOwnFont);
      g.GlowCount = num("GLOW", base.GlowCount);
      g.GlowMargin = num("GLOWMARGIN", base.GlowMargin);
      g.ReservedBoolean = flag("RESERVEDBOOLEAN", base.ReservedBoolean);
      g.Transparency = num("TRANSPARENCY", base.Transparency);
      g.GradientPercent = num("GRADIENTPERCENT", base.GradientPercent);
      gradient("GRADIENTDATA", g.GradientData, g.GradientArray);
      g.ImagePercent = num("IMAGEPERCENT", base.ImagePercent);
      g.ShowFocus = flag("SHOWFOCUS", base.ShowFocus);
      g.FadingEnabled = flag("FADINGENABLED", base.FadingEnabled);
      g.FadingIterations = num("FADINGITERATIONS", base.FadingIterations);
      g.HotColor = num("HOTCOLOR", base.HotColor);
      g.HotTransparency = num("HOTTRANSPARENCY", base.HotTransparency);
      g.HotGradientPercent = num("HOTGRADIENTPERCENT", base.HotGradientPercent);
      gradient("HOTGRADIENTDATA", g.HotGradientData, g.HotGradientArray);
      g.HotImagePercent = num("HOTIMAGEPERCENT", base.HotImagePercent);
      g.BorderIndex = g.ImgTopLeft = g.ImgTopRight = g.ImgBottomLeft = g.ImgBottomRight = -1;
      m_.GeneralData.push_back(std::move(g));
    }
  }

  void LoadAllGeneralData() {
    if (stored_) {
      LoadStoredGlobalInfo();
      for (int i = 0; i < stored_->GeneralData.Count(); ++i)
        m_.GeneralData.push_back(StoredRecord(stored_->GeneralData.Items(i)));
    } else {
      LoadGlobalInfo();
      for (const std::string& s : sections_) m_.GeneralData.push_back(ReadSectionRecord(s));
    }
    MergeCommonSections();
    m_.UpdateSectionMaskIndexes();
    m_.ApplyHueOffset(o_.HueOffset);
    m_.ApplySaturation(o_.Saturation);
  }

  TsSkinModel& m_;
  const TsIniText& ini_;
  ImageSource images_;
  const TsSkinLoadOptions& o_;
  const TsStoredSkin* stored_;
  const std::vector<std::string> sections_ = ini_.ReadSections();
};

namespace {

void LoadModel(TsSkinModel& target, std::string_view options, ImageSource images,
               const std::string& skinPath, const TsSkinLoadOptions& o,
               const TsStoredSkin* stored = nullptr) {
  TsSkinModel fresh;
  fresh.CommonSkinData.SkinPath = skinPath.empty() ? o.SkinPath : skinPath;
  const TsIniText ini(options);
  TsSkinLoader(fresh, ini, std::move(images), o, stored).Run();
  target = std::move(fresh);
}

std::string_view AsText(const TacBytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

void TsSkinModel::LoadFromConvertor(const TacSkinConvertor& convertor,
                                    const TsSkinLoadOptions& options) {
  if (!convertor.OptionsData) throw ESkinError("Packed skin has no Options.dat entry");
  ImageSource source;
  source.Pack = &convertor;
  LoadModel(*this, AsText(*convertor.OptionsData), source, "", options);
}

void TsSkinModel::LoadFromPackedData(const TacBytes& packed, const TsSkinLoadOptions& options) {
  TacSkinConvertor convertor;
  convertor.PackedData = std::make_unique<TacBytes>(packed);
  ExtractPackedData(convertor);
  convertor.PackedData.reset();
  LoadFromConvertor(convertor, options);
}

void TsSkinModel::LoadFromFolder(const std::string& folder, const TsSkinLoadOptions& options) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  const std::optional<TacBytes> text = ReadSkinFile(path + "Options.dat");
  if (!text) throw ESkinError("Skin folder " + folder + " has no Options.dat");
  ImageSource source;
  source.Folder = path;
  LoadModel(*this, AsText(*text), source, path, options);
}

void TsSkinModel::LoadFromStoredSkin(const TsStoredSkin& stored,
                                     const TsSkinLoadOptions& options) {
  // Empty collections make a skin without sections, as they are.
  LoadModel(*this, "", ImageSource{}, "", options, &stored);
}

void TsSkinModel::Clear() { *this = TsSkinModel(); }

}  // namespace kv

namespace kv {

// -- colours -------------------------------------------------------------------

std::int32_t DefaultColorToRGB(std::int32_t color) {
  const auto u = static_cast<std::uint32_t>(color);
  const std::uint32_t high = u & 0xFF000000u;
  if (high != 0xFF000000u && high != 0x80000000u) return color;
  // The classic Windows palette, index by COLOR_* number.
  static const std::int32_t kSystem[31] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  const std::uint32_t index = u & 0xFFu;
  return index < 31 ? kSystem[index] : 0;
}

std::string SkinVersionNotice(const TsSkinData& data) {
  if (data.Version <= 255.0) return {};
  return "This version of the skin have not complete support by used toolkit package release.\r\n"
         "Components must be updated up to latest version for using this skin.";
}

std::int32_t TsSkinModel::ToRGB(std::int32_t color) const {
  return colorToRGB_ ? colorToRGB_(color) : DefaultColorToRGB(color);
}

std::int32_t TsSkinModel::GetGlobalInfoColor() const {
  const int i = CommonIndexes.GlobalInfo;
  return IsSectionIndexValid(i) ? ToRGB(GeneralData[i].Color) : ToRGB(clBtnFace);
}

std::int32_t TsSkinModel::GetGlobalInfoFontColor() const {
  const int i = CommonIndexes.GlobalInfo;
  return IsSectionIndexValid(i) ? ToRGB(GeneralData[i].FontColor[0]) : TransparentColor;
}

std::int32_t TsSkinModel::GetGlobalInfoHotColor() const {
  const int i = CommonIndexes.GlobalInfo;
  return IsSectionIndexValid(i) ? ToRGB(GeneralData[i].HotColor) : ToRGB(clWindow);
}

std::int32_t TsSkinModel::GetEditHotFontColor() const {
  const int i = SectionIndexOf("EDIT");
  return i >= 0 ? ToRGB(GeneralData[i].HotFontColor[0]) : TransparentColor;
}

namespace {
bool NoMenuColor(std::int32_t c) { return c == -1 || c == 0xFF00FF || c == 0xFFFFFF; }
}  // namespace

std::int32_t TsSkinModel::GetMenuHotColor() const {
  const int i = SectionIndexOf("MENUITEM");
  if (i < 0 || NoMenuColor(GeneralData[i].HotColor)) return ToRGB(clHighlight);
  return ToRGB(GeneralData[i].HotColor);
}

std::int32_t TsSkinModel::GetMenuHotFontColor() const {
  const int i = SectionIndexOf("MENUITEM");
  if (i < 0) return ToRGB(clHighlightText);
  const std::int32_t c = GeneralData[i].HotFontColor[0];
  if (NoMenuColor(c) || c == 0 || NoMenuColor(GeneralData[i].HotColor)) {
    return ToRGB(clHighlightText);
  }
  return ToRGB(c);
}

// -- look-ups -------------------------------------------------------------------

int TsSkinModel::SectionIndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < GeneralData.size(); ++i) {
    if (GeneralData[i].ClassName == name) return static_cast<int>(i);
  }
  return -1;
}

namespace {

// Follows PARENTCLASS; the depth limit keeps a damaged chain from looping.
// A PARENTCLASS naming no section ends the search.
template <class Match>
int FindInherited(const TsSkinModel& m, int sectionIndex, std::string_view sectionName,
                  Match match) {
  if (sectionIndex < 0 || sectionName.empty()) return -1;
  std::string name(sectionName);
  int index = sectionIndex;
  for (std::size_t depth = 0; depth <= m.GeneralData.size(); ++depth) {
    const int found = match(name);
    if (found >= 0) return found;
    if (index < 0 || index >= static_cast<int>(m.GeneralData.size())) return -1;
    const std::string parent = m.GeneralData[index].ParentClass;
    if (parent.empty() || parent == name) return -1;
    index = m.SectionIndexOf(parent);
    if (index < 0) return -1;
    name = parent;
  }
  return -1;
}

}  // namespace

int TsSkinModel::MaskIndexOf(int sectionIndex, std::string_view sectionName,
                             std::string_view key) const {
  return FindInherited(*this, sectionIndex, sectionName, [&](const std::string& s) {
    for (std::size_t i = 0; i < MaskData.size(); ++i) {
      if (MaskData[i].SectionName == s && MaskData[i].PropertyName == key) {
        return static_cast<int>(i);
      }
    }
    return -1;
  });
}

int TsSkinModel::TextureIndexOf(int sectionIndex, std::string_view sectionName,
                                std::string_view key) const {
  return FindInherited(*this, sectionIndex, sectionName, [&](const std::string& s) {
    for (std::size_t i = 0; i < MaskData.size(); ++i) {
      const TsMaskData& mk = MaskData[i];
      if (mk.ImgType == itisaTexture && mk.SectionName == s && mk.PropertyName == key) {
        return static_cast<int>(i);
      }
    }
    return -1;
  });
}

int TsSkinModel::PatternIndexOf(int sectionIndex, std::string_view sectionName,
                                std::string_view key) const {
  if (PatternData.empty()) return -1;
  return FindInherited(*this, sectionIndex, sectionName, [&](const std::string& s) {
    for (std::size_t i = 0; i < PatternData.size(); ++i) {
      if (PatternData[i].SectionName == s && PatternData[i].PropertyName == key) {
        return static_cast<int>(i);
      }
    }
    return -1;
  });
}

int TsSkinModel::MaskIndexByNames(std::string_view sectionName, std::string_view key) const {
  if (sectionName.empty()) return -1;
  for (std::size_t i = 0; i < MaskData.size(); ++i) {
    if (MaskData[i].SectionName == sectionName && MaskData[i].PropertyName == key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool TsSkinModel::IsMaskIndexValid(int index) const {
  return index >= 0 && index < static_cast<int>(MaskData.size());
}

bool TsSkinModel::IsSectionIndexValid(int index) const {
  return index >= 0 && index < static_cast<int>(GeneralData.size());
}

TSize TsSkinModel::GetMaskStateSize(int index) const {
  if (!IsMaskIndexValid(index)) return {};
  const TsMaskData& mk = MaskData[index];
  if (mk.Bmp) return {mk.Bmp->Width() / 3, mk.Bmp->Height() / 2};
  return {MaskFrameWidth(mk), MaskStateHeight(mk)};
}

namespace {
int Margin(const TsMaskData& mk, int own, bool horizontal) {
  if (own > 0) return own;
  if (mk.BorderWidth >= 1) return mk.BorderWidth;
  if (horizontal) return (mk.R.Right - mk.R.Left) / std::max<int>(1, mk.ImageCount);
  return MaskStateHeight(mk);
}
}  // namespace

int TsSkinModel::MaskMarginLeft(int index) const {
  return IsMaskIndexValid(index) ? Margin(MaskData[index], MaskData[index].WL, true) : 0;
}
int TsSkinModel::MaskMarginTop(int index) const {
  return IsMaskIndexValid(index) ? Margin(MaskData[index], MaskData[index].WT, false) : 0;
}
int TsSkinModel::MaskMarginRight(int index) const {
  return IsMaskIndexValid(index) ? Margin(MaskData[index], MaskData[index].WR, true) : 0;
}
int TsSkinModel::MaskMarginBottom(int index) const {
  return IsMaskIndexValid(index) ? Margin(MaskData[index], MaskData[index].WB, false) : 0;
}

const TBitmap* TsSkinModel::MaskImage(int index) const {
  if (!IsMaskIndexValid(index)) return nullptr;
  return MaskData[index].Bmp ? MaskData[index].Bmp.get() : MasterBitmap.get();
}

void TsSkinModel::UpdateSectionMaskIndexes() {
  for (std::size_t i = 0; i < GeneralData.size(); ++i) {
    TsGeneralData& g = GeneralData[i];
    if (g.ClassName == "GLOBALINFO") continue;
    const int si = static_cast<int>(i);
    g.BorderIndex = MaskIndexOf(si, g.ClassName, "BORDERSMASK");
    g.ImgTopLeft = MaskIndexOf(si, g.ClassName, "IMGTOPLEFT");
    g.ImgTopRight = MaskIndexOf(si, g.ClassName, "IMGTOPRIGHT");
    g.ImgBottomLeft = MaskIndexOf(si, g.ClassName, "IMGBTMLEFT");
    g.ImgBottomRight = MaskIndexOf(si, g.ClassName, "IMGBTMRIGHT");
  }
}

void TsSkinModel::UpdateCommonIndexes() {
  TsCommonIndexes& c = CommonIndexes;
  c = TsCommonIndexes{};
  c.GlobalInfo = SectionIndexOf("GLOBALINFO");
  auto global = [&](const char* key) { return MaskIndexOf(c.GlobalInfo, "GLOBALINFO", key); };
  c.ExBorder = global("EXBORDER");
  c.BoxChecked = global("BOXCHECKED");
  c.BoxUnchecked = global("BOXUNCHECKED");
  c.BoxGrayed = global("BOXGRAYED");
  c.RadioChecked = global("RADIOCHECKED");
  c.RadioUnchecked = global("RADIOUNCHECKED");
  c.RadioGrayed = global("RADIOGRAYED");
  c.SmallChecked = global("SMALLCHECKED");
  c.SmallUnchecked = global("SMALLUNCHECKED");
  c.SmallGrayed = global("SMALLGRAYED");
  auto tab = [&](TsCommonIndexes::Tab& t, const char* name) {
    t.Section = SectionIndexOf(name);
    t.Border = MaskIndexOf(t.Section, name, "BORDERSMASK");
  };
  tab(c.TabTop, "TABTOP");
  tab(c.TabBottom, "TABBOTTOM");
  tab(c.TabLeft, "TABLEFT");
  tab(c.TabRight, "TABRIGHT");
  auto part = [&](TsCommonIndexes::ScrollPart& p, const char* name, bool glyph) {
    p.Section = SectionIndexOf(name);
    p.Border = MaskIndexOf(p.Section, name, "BORDERSMASK");
    if (glyph && p.Section >= 0) p.Glyph = MaskIndexOf(p.Section, name, "GLYPHMASK");
    p.Pattern = MaskIndexOf(p.Section, name, "PATTERN");
    p.HotPattern = MaskIndexOf(p.Section, name, "HOTPATTERN");
  };
  part(c.BtnTop, "SCROLLBTNTOP", true);
  part(c.BtnBottom, "SCROLLBTNBOTTOM", true);
  part(c.BtnLeft, "SCROLLBTNLEFT", true);
  part(c.BtnRight, "SCROLLBTNRIGHT", true);
  part(c.SliderV, "SCROLLSLIDERV", true);
  part(c.SliderH, "SCROLLSLIDERH", true);
  part(c.Bar1H, "SCROLLBAR1H", false);
  part(c.Bar1V, "SCROLLBAR1V", false);
  part(c.Bar2H, "SCROLLBAR2H", false);
  part(c.Bar2V, "SCROLLBAR2V", false);
  c.ComboBtn = SectionIndexOf("COMBOBTN");
  c.ComboBtnBorder = MaskIndexByNames("COMBOBTN", "BORDERSMASK");
  c.ComboBtnPattern = TextureIndexOf(c.ComboBtn, "COMBOBTN", "PATTERN");
  c.ComboBtnHotPattern = TextureIndexOf(c.ComboBtn, "COMBOBTN", "HOTPATTERN");
  c.ComboGlyph = MaskIndexByNames("COMBOBOX", "GLYPHMASK");
}

// -- recolouring -------------------------------------------------------------------

namespace {

// Grey and transparent pixels keep their colour.
void RecolorImage(TBitmap& bmp, const std::function<std::int32_t(std::int32_t)>& fn) {
  if (bmp.Empty()) return;
  if (bmp.PixelFormat() != pf32bit) bmp.SetPixelFormat(pf24bit);
  const int step = bmp.BytesPerPixel();
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += step) {
      const std::int32_t c = ColorFromRGB(p[2], p[1], p[0]);
      if (c == TransparentColor || (p[0] == p[1] && p[1] == p[2])) continue;
      const std::int32_t n = fn(c);
      p[0] = static_cast<std::uint8_t>(n >> 16);
      p[1] = static_cast<std::uint8_t>(n >> 8);
      p[2] = static_cast<std::uint8_t>(n);
    }
  }
}

void RecolorSections(TsSkinModel& m, const std::function<std::int32_t(std::int32_t)>& fn) {
  for (TsGeneralData& g : m.GeneralData) {
    g.Color = fn(g.Color);
    g.HotColor = fn(g.HotColor);
    for (auto& c : g.FontColor) {
      if (c != -1) c = fn(c);
    }
    for (auto& c : g.HotFontColor) {
      if (c != -1) c = fn(c);
    }
    // Only the parsed stops: the text may hold empty fields.
    for (TsGradStop& s : g.GradientArray) {
      s.Color1 = fn(s.Color1);
      s.Color2 = fn(s.Color2);
    }
    for (TsGradStop& s : g.HotGradientArray) {
      s.Color1 = fn(s.Color1);
      s.Color2 = fn(s.Color2);
    }
  }
  m.CommonSkinData.Shadow1Color = fn(m.CommonSkinData.Shadow1Color);
  m.CommonSkinData.BorderColor = fn(m.CommonSkinData.BorderColor);
}

struct SavedIcon {
  int MaskIndex;
  TBitmap Pixels;
};

}  // namespace

void TsSkinModel::ApplyHueOffset(int degrees) {
  if (degrees == 0) return;
  auto fn = [&](std::int32_t c) { return ChangeColorHue(degrees, ToRGB(c)); };
  std::vector<SavedIcon> saved;
  std::set<int> kept;
  const int keep = CommonSkinData.BIKeepHue;
  if (keep != 0) {
    static const char* const kIcons[] = {"BICONCLOSE", "SICONCLOSE", "BICONMAX",
                                         "BICONMIN",   "BICONNORM",  "BICONHELP",
                                         "SICONMAX",   "SICONMIN",   "SICONNORM"};
    for (int n = 0; n < 9; ++n) {
      if (n >= 2 && keep != 1) break;
      const int i = MaskIndexByNames("GLOBALINFO", kIcons[n]);
      if (i >= 0 && MaskData[i].Bmp) kept.insert(i);
      if (i >= 0 && !MaskData[i].Bmp && MasterBitmap) {
        // Masks are validated to lie inside the master bitmap.
        const TRect r = MaskData[i].R;
        SavedIcon icon{i, TBitmap(r.Right - r.Left, r.Bottom - r.Top, pf24bit)};
        for (int y = r.Top; y < r.Bottom; ++y) {
          std::memcpy(icon.Pixels.ScanLine(y - r.Top), MasterBitmap->ScanLine(y) + 3 * r.Left,
                      3 * std::size_t(r.Right - r.Left));
        }
        saved.push_back(std::move(icon));
      }
      const int glow = MaskIndexByNames("GLOBALINFO", std::string(kIcons[n]) + "GLOW0");
      if (glow >= 0 && MaskData[glow].Bmp) kept.insert(glow);
    }
  }
  if (MasterBitmap) RecolorImage(*MasterBitmap, fn);
  for (std::size_t i = 0; i < MaskData.size(); ++i) {
    if (MaskData[i].Bmp && !kept.count(static_cast<int>(i))) RecolorImage(*MaskData[i].Bmp, fn);
  }
  for (const SavedIcon& icon : saved) {
    const TRect r = MaskData[icon.MaskIndex].R;
    for (int y = r.Top; y < r.Bottom; ++y) {
      std::memcpy(MasterBitmap->ScanLine(y) + 3 * r.Left, icon.Pixels.ScanLine(y - r.Top),
                  3 * std::size_t(r.Right - r.Left));
    }
  }
  RecolorSections(*this, fn);
}

void TsSkinModel::ApplySaturation(int value) {
  if (value == 0) return;
  const int amount = (-value) % 101;
  auto fn = [&](std::int32_t c) { return ChangeColorSaturation(ToRGB(c), amount); };
  if (MasterBitmap) RecolorImage(*MasterBitmap, fn);
  for (TsMaskData& mk : MaskData) {
    if (mk.Bmp) RecolorImage(*mk.Bmp, fn);
  }
  RecolorSections(*this, fn);
}

}  // namespace kv
