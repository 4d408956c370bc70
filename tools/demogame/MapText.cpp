#include "MapText.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <string_view>

namespace {

constexpr std::string_view Eol = "\r\n";

// Positions and sizes are whole numbers or short fractions; print them the short way
// ("12.5", "-300") and never as "-0".
std::string num(float value, int digits = 7)
{
    if (value == 0)
        value = 0; // folds -0 into 0
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

std::string num(int value) { return std::to_string(value); }

class Text {
public:
    Text& operator<<(std::string_view part)
    {
        m_text.append(part);
        return *this;
    }
    void line(std::string_view content)
    {
        m_text.append(content);
        m_text.append(Eol);
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

// "a, b, c": the column separator of every section.
template <typename... Parts>
std::string columns(const Parts&... parts)
{
    std::string out;
    ((out += (out.empty() ? "" : ", "), out += parts), ...);
    return out;
}

// The stored rotation for a yaw as drawn: the games keep the inverse rotation.
std::array<float, 4> storedRotation(float yawDegrees)
{
    const double half = yawDegrees * std::numbers::pi / 360.0;
    auto clean = [](double v) { return std::abs(v) < 1e-7 ? 0.0f : static_cast<float>(v); };
    return {0, 0, clean(-std::sin(half)), clean(std::cos(half))};
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

void writeIde(Text& out, const TownLayout& layout, int area, bool viceCity, const std::string& title)
{
    out.line("# " + title + ": object definitions of the Quox demo town");
    out.line("# id, model, texture dictionary, mesh count, draw distance, flags");
    out.line("");
    out.line("objs");
    for (const TownDefinition& def : layout.definitions)
        if (def.area == area && !def.timed)
            out.line(num(def.id) + ", " + padded(def.model + ",", 22) + padded(def.txd + ",", 16) + " 1, " +
                     num(def.drawDistance) + ", " + num(def.flags));
    out.line("end");
    out.line("");
    out.line("# timed objects: id, model, dictionary, mesh count, draw distance, flags, hour on, hour off");
    out.line("tobj");
    for (const TownDefinition& def : layout.definitions)
        if (def.area == area && def.timed)
            out.line(columns(num(def.id), def.model, def.txd, std::string("1"), num(def.drawDistance), num(def.flags),
                             num(def.timeOn), num(def.timeOff)));
    out.line("end");

    if (!viceCity) {
        bool any = false;
        for (const TownPathGroup& group : layout.paths) {
            if (group.definition < 0 || layout.definitions[static_cast<std::size_t>(group.definition)].area != area)
                continue;
            if (!any) {
                out.line("");
                out.line("path");
                any = true;
            }
            const TownDefinition& def = layout.definitions[static_cast<std::size_t>(group.definition)];
            out.line(columns(std::string(group.type == 0 ? "ped" : "car"), num(def.id), def.model));
            for (std::size_t k = 0; k < 12; ++k) {
                if (k < group.nodes.size()) {
                    const TownPathNode& n = group.nodes[k];
                    out.line("\t" + columns(num(n.type), num(n.next), std::string("0"),
                                            num(static_cast<int>(std::lround(n.position[0] * 16))),
                                            num(static_cast<int>(std::lround(n.position[1] * 16))),
                                            num(static_cast<int>(std::lround(n.position[2] * 16))), std::string("1"),
                                            num(n.leftLanes), num(n.rightLanes)));
                } else {
                    out.line("\t0, -1, 0, 0, 0, 0, 0, 0, 0");
                }
            }
        }
        if (any)
            out.line("end");
    }

    bool anyEffect = false;
    for (const TownEffect& fx : layout.effects) {
        const TownDefinition& def = layout.definitions[static_cast<std::size_t>(fx.definition)];
        if (def.area != area)
            continue;
        if (!anyEffect) {
            out.line("");
            out.line("2dfx");
            anyEffect = true;
        }
        const std::string common = columns(num(def.id), num(fx.offset[0]), num(fx.offset[1]), num(fx.offset[2]),
                                           num(fx.colour[0]), num(fx.colour[1]), num(fx.colour[2]));
        if (fx.light)
            out.line(columns(common, std::string("200"), std::string("0"), std::string("\"coronastar\""),
                             std::string("\"shad_exp\""), std::string("100"), num(12.0f), num(1.5f), num(0.0f),
                             num(40.0f), std::string("0"), std::string("1"), std::string("0"), std::string("0")));
        else
            out.line(columns(common, std::string("100"), std::string("1"), std::string("2"), num(0.0f), num(0.0f),
                             num(0.5f), num(1.0f)));
    }
    if (anyEffect)
        out.line("end");
}

void writeInstLine(Text& out, const TownLayout& layout, const TownPlacement& p, bool viceCity)
{
    const TownDefinition& def = layout.definitions[static_cast<std::size_t>(p.definition)];
    const auto q = storedRotation(p.yaw);
    std::string line = num(def.id) + ", " + def.model + ", ";
    if (viceCity)
        line += "0, ";
    line += columns(num(p.position[0]), num(p.position[1]), num(p.position[2]), std::string("1"), std::string("1"),
                    std::string("1"), num(q[0], 6), num(q[1], 6), num(q[2], 6), num(q[3], 6));
    out.line(line);
}

void writeIpl(Text& out, const TownLayout& layout, int area, bool viceCity, const std::string& title)
{
    out.line("# " + title + ": placed items of the Quox demo town");
    out.line("inst");
    for (const TownPlacement& p : layout.placements)
        if (layout.definitions[static_cast<std::size_t>(p.definition)].area == area)
            writeInstLine(out, layout, p, viceCity);
    out.line("end");
    out.line("pick");
    out.line("end");
}

void writeZones(Text& out, const TownLayout& layout)
{
    out.line("# zones: name, type, low corner, high corner, level");
    out.line("zone");
    for (const TownZone& z : layout.zones)
        out.line(columns(z.name, num(z.type), num(z.low[0]), num(z.low[1]), num(z.low[2]), num(z.high[0]),
                         num(z.high[1]), num(z.high[2]), num(z.level)));
    out.line("end");
}

void writeCulls(Text& out, const TownLayout& layout)
{
    out.line("cull");
    for (const TownCull& c : layout.culls)
        out.line(columns(num(c.centre[0]), num(c.centre[1]), num(c.centre[2]), num(c.low[0]), num(c.low[1]),
                         num(c.low[2]), num(c.high[0]), num(c.high[1]), num(c.high[2]), num(c.flags), std::string("0")));
    out.line("end");
}

void writeOccluders(Text& out, const TownLayout& layout)
{
    out.line("# occluders: middle x, y, bottom, width, length, height, rotation");
    out.line("occl");
    for (const TownOccluder& o : layout.occluders)
        out.line(columns(num(o.x), num(o.y), num(o.bottom), num(o.width), num(o.length), num(o.height),
                         num(o.rotation)));
    out.line("end");
}

void writeWorldPaths(Text& out, const TownLayout& layout)
{
    out.line("# path groups: type, -1, then 12 nodes (positions in 1/16 units)");
    out.line("path");
    for (const TownPathGroup& group : layout.paths) {
        if (group.definition >= 0)
            continue;
        out.line(columns(num(group.type), std::string("-1")));
        for (std::size_t k = 0; k < 12; ++k) {
            if (k < group.nodes.size()) {
                const TownPathNode& n = group.nodes[k];
                out.line("\t" + columns(num(n.type), num(n.next), std::string("0"), num(n.position[0] * 16),
                                        num(n.position[1] * 16), num(n.position[2] * 16), num(n.type == 1 ? 0.0f : 4.0f),
                                        num(n.leftLanes), num(n.rightLanes), std::string("0"), std::string("0"),
                                        std::string("1")));
            } else {
                out.line("\t0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1");
            }
        }
    }
    out.line("end");
}

std::string title(const TownArea& area)
{
    const std::size_t slash = area.datName.find_last_of('\\');
    return slash == std::string::npos ? area.datName : area.datName.substr(slash + 1);
}

} // namespace

std::string datDiskPath(bool viceCity) { return viceCity ? "data/gta_vc.dat" : "data/gta3.dat"; }

std::vector<MapTextFile> writeMapTexts(const TownLayout& layout, bool viceCity)
{
    std::vector<MapTextFile> files;
    Text dat;
    dat.line("#");
    dat.line(viceCity ? "# Quox demo town, Vice City form" : "# Quox demo town, GTA III form");
    dat.line("#");
    dat.line("");
    dat.line("# textures and models every level shares");
    dat.line("TEXDICTION MODELS\\MISC.TXD");
    dat.line("MODELFILE MODELS\\GENERIC\\QXMARKER.DFF");
    dat.line("COLFILE 0 MODELS\\COLL\\GENERIC.COL");
    dat.line("HIERFILE MODELS\\GENERIC\\QXHIER.DFF");
    dat.line("CDIMAGE MODELS\\GTA3.IMG");
    dat.line("");
    dat.line("# object definitions");
    for (std::size_t a = 0; a < layout.areas.size(); ++a) {
        const TownArea& area = layout.areas[a];
        dat.line("IDE " + area.datName + ".ide");
        Text ide;
        writeIde(ide, layout, static_cast<int>(a), viceCity, title(area));
        files.push_back({area.diskName + ".ide", ide.take()});
    }
    dat.line("");
    dat.line("SPLASH loadsc1");
    dat.line("");
    dat.line("# placements");
    for (std::size_t a = 0; a < layout.areas.size(); ++a) {
        const TownArea& area = layout.areas[a];
        dat.line("IPL " + area.datName + ".ipl");
        Text ipl;
        writeIpl(ipl, layout, static_cast<int>(a), viceCity, title(area));
        files.push_back({area.diskName + ".ipl", ipl.take()});
    }
    if (!layout.culls.empty()) {
        dat.line("IPL DATA\\MAPS\\\\CULL.IPL"); // doubled backslash, as in some of the games' own lines
        Text cull;
        cull.line("# cull zones: centre, low corner, high corner, flags, 0");
        writeCulls(cull, layout);
        files.push_back({"data/maps/cull.ipl", cull.take()});
    }
    if (viceCity) {
        dat.line("IPL DATA\\MAPS\\OCCLU.IPL");
        Text occl;
        writeOccluders(occl, layout);
        files.push_back({"data/maps/occlu.ipl", occl.take()});
        dat.line("IPL DATA\\PATHS.IPL");
        Text paths;
        writeWorldPaths(paths, layout);
        files.push_back({"data/paths.ipl", paths.take()});
    }
    dat.line("");
    dat.line("# zones");
    dat.line(viceCity ? "IPL DATA\\MAP.ZON" : "MAPZONE DATA\\MAP.ZON");
    Text zones;
    writeZones(zones, layout);
    files.push_back({"data/map.zon", zones.take()});
    dat.line("");
    dat.line("SPLASH splash1");
    files.insert(files.begin(), {datDiskPath(viceCity), dat.take()});
    return files;
}
