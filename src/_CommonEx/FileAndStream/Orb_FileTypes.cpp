// The file types the open and save dialogs offer: a built-in table of 95 kinds, each reachable by
// several keywords, and custom four-field entries ("description|.a/.b|CODE|IMAGE").
#include "Orb_FileRefEx.h"

#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <algorithm>
#include <iterator>

namespace {

// Description | extensions ("/"-separated, each ".ext") | four-character Mac type | image type.
const char16_t* const kFileTypes[] = {
    u"Text File|.txt|TEXT|",
    u"Acrobat PDF File|.pdf|PDF |PDF",
    u"PNG Image|.png|PNGf|PNG",
    u"GIF Image|.gif|GIFf|GIF",
    u"TIFF Image|.tif/.tiff|TIFF|TIFF",
    u"BMP Image|.bmp|BMPf|BMP",
    u"JPEG Image|.jpg/.jpeg/.jpe/.pjpeg/.jfif|JPEG|JPEG",
    u"HTML File|.htm/.html|MOSS|",
    u"Word Documents|.doc/.docx||",
    u"Excel Files|.xls/.xlsx||",
    u"Rich Text File|.rtf|RTF |",
    u"Comma Separated Values File|.csv|TEXT|",
    u"3DMF Image|.3dmf/.3dm|3DMF|3DMF",
    u"Hasselblad Raw Image|.3fr|3FR |3FR",
    u"AAI Dune Image|.aai|AAI |AAI",
    u"PFS: 1st Publisher clip art|.art|ART |ART",
    u"Sony Alpha Raw Image|.arw|ARW |ARW",
    u"AVS X Image|.avs|AVS |AVS",
    u"CALS raster file|.cals/.cal|CALS|CALS",
    u"Cineon Image|.cin|CIN |CIN",
    u"Canon Raw Image|.crw/.cr2|CRW |CRW",
    u"Microsoft Cursor|.cur|CUR |CUR",
    u"Dr Halo Image|.cut|CUT |CUT",
    u"DICOM Image|.dcm/.dicom|DCM |DCM",
    u"Kodak Raw Image|.dcr/.kdc/.k25|DCR |DCR",
    u"Microsoft DirectDraw Surface|.dds|DDS |DDS",
    u"Digital Negative|.dng|DNG |DNG",
    u"Digital Picture eXchange Format|.dpx|DPX |DPX",
    u"EPS File|.eps/.epsf/.epsi|EPSF|EPS",
    u"Epson Raw Image|.erf|ERF |ERF",
    u"Flexible Image Transport System|.fits/.fts/.fit|FITS|FITS",
    u"FLIC Animation|.fli/.flc|FLI |FLI",
    u"FlashPix Image|.fpx|FPX |FPX",
    u"Group 3 FAX|.fax/.g3|G3  |FAX",
    u"Group4|.g4|G4  |GROUP4",
    u"Slow Scan Television|.hrz|HRZ |HRZ",
    u"Microsoft Icon|.ico|ICO |ICO",
    u"IPL Image Sequence|.ipl|IPL |IPL",
    u"JPEG-2000 Code Stream|.j2c/.j2k|J2C |J2C",
    u"JBIG Image|.jbig/.jbg/.bie|JBIG|JBIG",
    u"JPEG Network Graphics|.jng|JNG |JNG",
    u"JPEG-2000 Image|.jp2/.jpx|jp2 |JP2",
    u"MacPaint Image|.mac/.pntg|PNTG|MAC",
    u"Magick Image File Format|.miff|MIFF|MIFF",
    u"Multiple-Image Network Graphics|.mng|MNG |MNG",
    u"Minolta Raw Image|.mrw|MRW |MRW",
    u"Magick Scripting Language|.msl|MSL |MSL",
    u"MTV Raytracing Image|.mtv|MTV |MTV",
    u"Magick Vector Graphics|.mvg|MVG |MVG",
    u"Nikon Raw Image|.nef|NEF |NEF",
    u"Olympus Raw Image|.orf|ORF |ORF",
    u"On-The-Air Bitmap|.otb|OTB |OTB",
    u"16bit/pixel Interleaved YUV|.uyvy/.pal|UYVY|UYVY",
    u"Palm Pixmap|.palm|PALM|PALM",
    u"Common 2-Dimensional Bitmap Format|.c2d|C2D |C2D",
    u"Portable Bitmap Format|.pbm|PBM |PBM",
    u"Photo CD|.pcd/.pcds|PCD |PCD",
    u"ZSoft Paintbrush Image|.pcx|PCX |PCX",
    u"Palm Database Imageviewer Format|.pdb|PDB |PDB",
    u"Portable Document Archive Format|.pdfa|PDFA|PDFA",
    u"Portable Float Format|.pfm|PFM |PFM",
    u"Pentax Raw Image|.pef|PEF |PEF",
    u"Embrid Embroidery Format|.pes|PES |PES",
    u"Portable Graymap Format|.pgm|PGM |PGM",
    u"Personal Icon|.picon|PICN|PICON",
    u"PICT Image|.pct/.pict|PICT|PICT",
    u"PICS Image|.pics|PICS|PICS",
    u"Alias Pix Image|.pix|PIX |PIX",
    u"Portable Pixmap Format|.ppm|PPM |PPM",
    u"Adobe Large Document Format|.psb|PSB |PSB",
    u"Photoshop Image|.psd|8BPS|PSD",
    u"Pyramid Encoded TIFF|.ptif|PTIF|PTIF",
    u"Seattle File Works Image|.sfw/.pwp|SFW |SFW",
    u"QuickDraw GX Picture|.qdgx|qdgx|QDGX",
    u"QuickTime Image|.qtif/.qti|qtif|QTIF",
    u"Fujifilm Raw Image|.raf|RAF |RAF",
    u"Utah Run Length Encoded Image|.rle|RLE |RLE",
    u"Scitex Continuous Tone Picture|.sct/.ct|SCT |SCT",
    u"SGI Image|.sgi/.rgb|SGI |SGI",
    u"Sony Raw Image|.srf/.sr2|SRF |SRF",
    u"SUN Rasterfile|.sun/.ras|SUN |SUN",
    u"Shockwave Flash|.swf|SWFL|SWF",
    u"Targa Image|.tga/.icb/.vda/.vst|TPIC|TGA",
    u"PSX TIM|.tim|TIM |TIM",
    u"Vicar Rasterfile Format|.vicar/.vic|VICA|VICAR",
    u"Visual Image Directory|.vid|VID |VID",
    u"Khoros Visualization Image|.viff/.xv|VIFF|VIFF",
    u"Wireless Bitmap|.wbmp|WBMP|WBMP",
    u"Windows Meta File|.wmf/.emf|WMF |WMF",
    u"WordPerfect Graphics|.wpg|WPG |WPG",
    u"Sigma Raw Image|.x3f|X3F |X3F",
    u"X Windows System Bitmap|.xbm|XBM |XBM",
    u"GIMP Image|.xcf|XCF |XCF",
    u"X Windows System Pixmap|.xpm|XPM |XPM",
    u"All Files|.*||",
};

// Long names users write for a few kinds, beyond what each row yields by itself.
const std::pair<const char16_t*, const char16_t*> kExtraKeywords[] = {
    {u"MICROSOFT WINDOWS BITMAP IMAGE", u"BMP Image"},
    {u"WINDOWS BITMAP", u"BMP Image"},
    {u"GRAPHICS INTERCHANGE FORMAT", u"GIF Image"},
    {u"PORTABLE NETWORK GRAPHICS", u"PNG Image"},
    {u"TAGGED IMAGE FILE FORMAT", u"TIFF Image"},
    {u"PORTABLE DOCUMENT FORMAT", u"Acrobat PDF File"},
    {u"ENCAPSULATED POSTSCRIPT", u"EPS File"},
    {u"TEXT", u"Text File"},
    {u"WORD", u"Word Documents"},
    {u"EXCEL", u"Excel Files"},
    {u"ALL", u"All Files"},
};

OrbFileType parseRow(const ucstring& row) {
    const ucstringlist fields = stringlistSplitString(row, u'|');
    OrbFileType type;
    if (!fields.empty()) type.description = stringTrim(fields[0]);
    if (fields.size() > 1) {
        ucstring extensions = fields[1];
        stringReplaceAllInPlace(extensions, u" ", u"");
        for (const ucstring& e : stringlistSplitString(extensions, u'/')) {
            if (e.empty()) continue;
            type.patterns.push_back(e[0] == u'.' ? u"*" + e : e.find(u'*') == 0 ? e : u"*." + e);
        }
    }
    if (fields.size() > 2) type.typeCode = fields[2];
    if (type.typeCode.empty()) type.typeCode = u"????";
    while (type.typeCode.size() < 4) type.typeCode += u' ';
    if (fields.size() > 3) type.imageType = stringTrim(fields[3]);
    return type;
}

bool rowHasKeyword(const OrbFileType& type, const ucstring& key) {
    if (stringUpperCase(type.description) == key) return true;
    if (!type.imageType.empty() && stringUpperCase(type.imageType) == key) return true;
    const ucstring code = stringUpperCase(stringTrim(type.typeCode));
    if (!code.empty() && code != u"????" && code == key) return true;
    for (const ucstring& p : type.patterns) {
        if (stringUpperCase(p.substr(p.find(u'.') == ucstring::npos ? 0 : p.find(u'.') + 1)) == key) return true;
    }
    return false;
}

}  // namespace

size_t OrbFileRefEx::builtInFileTypeCount() { return std::size(kFileTypes); }

bool OrbFileRefEx::lookUpFileType(const ucstring& keyword, OrbFileType& type) {
    const ucstring key = stringUpperCase(stringTrim(keyword));
    if (key.empty()) return false;
    ucstring description;
    for (const auto& [name, row] : kExtraKeywords) {
        if (key == name) description = row;
    }
    for (const char16_t* row : kFileTypes) {
        OrbFileType candidate = parseRow(row);
        if ((!description.empty() && candidate.description == description) ||
            (description.empty() && rowHasKeyword(candidate, key))) {
            type = candidate;
            return true;
        }
    }
    return false;
}

std::vector<OrbFileType> OrbFileRefEx::generateFileTypeList(const ucstringlist& entries) {
    std::vector<OrbFileType> types;
    for (const ucstring& raw : entries) {
        const ucstring entry = stringTrim(raw);
        if (entry.empty()) continue;
        OrbFileType type;
        if (std::count(entry.begin(), entry.end(), u'|') == 3) {
            type = parseRow(entry);
        } else if (!lookUpFileType(entry, type)) {
            // A bare extension ("xyz", ".xyz", "*.xyz") names a type without description.
            type = parseRow(u"|" + entry + u"||");
        }
        if (!type.patterns.empty()) types.push_back(type);
    }
    return types;
}

ucstring OrbFileRefEx::fileTypeFilter(const std::vector<OrbFileType>& types) {
    if (types.empty()) return u"All Files (*.*)|*.*";
    ucstringlist all;
    for (const OrbFileType& t : types) all.insert(all.end(), t.patterns.begin(), t.patterns.end());
    ucstring filter = u"All Readable Files|" + stringlistJoinWithString(all, u";") + u"|-|";
    for (const OrbFileType& t : types) {
        const ucstring patterns = stringlistJoinWithString(t.patterns, u";");
        filter += u"|" + (t.description.empty() ? ucstring(u"Unknown Type") : t.description) + u" (" + patterns +
                  u")|" + patterns;
    }
    return filter;
}
