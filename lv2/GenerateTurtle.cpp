// Writes the bundle's Turtle files from the deliverables' own tables and the port model:
//   lumo-lv2-turtle DIR  ->  DIR/manifest.ttl, DIR/lumo-31.ttl, DIR/lumo-20.ttl, DIR/lumo-15.ttl
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/RawParameters.h"
#include "lv2/Deliverables.h"
#include "lv2/Ports.h"
#include "product/Controls.h"

namespace lumo::lv2 {
namespace {

// The ports' interface version (LV2: an even minor version is a release). Raise the minor
// version when a port changes meaning; the micro version for anything else.
constexpr int kMinorVersion = 2;
constexpr int kMicroVersion = 2;

const char* const kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix idpy: <http://harrisonconsoles.com/lv2/inlinedisplay#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";  // a decimal literal, as LV2 wants
    return s;
}

std::string Integer(double value) { return std::to_string(static_cast<long>(value)); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The project the three plug-ins belong to; written into each plug-in's file, since a host
// reads only the files of the plug-ins it loads.
const char* const kProjectUri = "urn:tarvo-lumo:project";

void ProjectTurtle(std::ostream& out) {
    out << "<" << kProjectUri << ">\n"
        << "    a doap:Project ;\n"
        << "    doap:name \"Tarvo Lumo\" ;\n"
        << "    doap:shortdesc \"Stereo graphic equalisers of 31, 20 and 15 bands\" ;\n"
        << "    doap:license <http://opensource.org/licenses/MIT> ;\n"
        << "    doap:maintainer [ foaf:name \"Tarvo Lumo developers\" ] .\n\n";
}

// A stereo group names its two channels itself (pg:element), which is where hosts such as
// Ardour look to pair a port's designation with its channel in the group.
void StereoGroupTurtle(std::ostream& out, const std::string& uri, bool input) {
    const std::string symbol = input ? "in" : "out";
    out << "<" << uri << ":" << symbol << ">\n"
        << "    a pg:" << (input ? "InputGroup" : "OutputGroup") << " , pg:StereoGroup ;\n"
        << "    lv2:symbol \"" << symbol << "\" ;\n"
        << "    rdfs:label \"" << (input ? "Input" : "Output") << "\" ;\n";
    if (!input) out << "    pg:source <" << uri << ":in> ;\n";
    out << "    pg:element [ lv2:index 0 ; lv2:designation pg:left ] ,\n"
        << "        [ lv2:index 1 ; lv2:designation pg:right ] .\n\n";
}

void AudioPort(std::ostream& out, const std::string& uri, int index, bool input, const char* side) {
    const std::string direction = input ? "in" : "out";
    const std::string sideName = side[0] == 'l' ? "Left" : "Right";
    out << "[\n"
        << "        a lv2:AudioPort , lv2:" << (input ? "InputPort" : "OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << direction << "_" << side << "\" ;\n"
        << "        lv2:name \"" << (input ? "In " : "Out ") << sideName << "\" ;\n"
        << "        pg:group <" << uri << ":" << direction << "> ;\n"
        << "        lv2:designation pg:" << side << " ;\n"
        << "        rdfs:comment " << Quoted(std::string("The ") + side + " channel of the stereo " +
                                         (input ? "input" : "output, equalised") + ".") << "\n"
        << "    ]";
}

void ControlPort(std::ostream& out, int index, const std::string& symbol, const std::string& name,
                 const std::string& minimum, const std::string& maximum, const std::string& defaultValue,
                 const std::string& extra, const std::string& comment) {
    out << " , [\n"
        << "        a lv2:ControlPort , lv2:InputPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\" ;\n"
        << "        lv2:default " << defaultValue << " ;\n"
        << "        lv2:minimum " << minimum << " ;\n"
        << "        lv2:maximum " << maximum << " ;\n"
        << extra << "        rdfs:comment " << Quoted(comment) << "\n"
        << "    ]";
}

void PluginHeadTurtle(std::ostream& out, const PluginKind& kind) {
    const product::Deliverable& d = kind.deliverable();
    const std::string uri = kind.uri;
    const std::string bands = std::to_string(d.layout.bandCount);
    out << "<" << uri << ">\n"
        << "    a lv2:Plugin , lv2:MultiEQPlugin , doap:Project ;\n"
        << "    doap:name " << Quoted(d.fullName) << " ;\n"
        << "    doap:shortdesc " << Quoted(bands + "-band stereo graphic equaliser") << " ;\n"
        << "    lv2:project <" << kProjectUri << "> ;\n"
        << "    doap:license <http://opensource.org/licenses/MIT> ;\n"
        << "    doap:maintainer [ foaf:name \"Tarvo Lumo developers\" ] ;\n"
        << "    lv2:minorVersion " << kMinorVersion << " ;\n"
        << "    lv2:microVersion " << kMicroVersion << " ;\n"
        << "    rdfs:comment " << Quoted("A stereo graphic equaliser of " + bands +
                                         " peaking bands at fixed centres, the same engine and sound as the Buzz machine " +
                                         d.fullName + ".") << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , idpy:queue_draw ;\n"
        << "    lv2:extensionData idpy:interface ;\n"
        << "    pg:mainInput <" << uri << ":in> ;\n"
        << "    pg:mainOutput <" << uri << ":out> ;\n"
        << "    lv2:port ";
    AudioPort(out, uri, kInLeftPort, true, "left");
    out << " , ";
    AudioPort(out, uri, kInRightPort, true, "right");
    out << " , ";
    AudioPort(out, uri, kOutLeftPort, false, "left");
    out << " , ";
    AudioPort(out, uri, kOutRightPort, false, "right");
}

void ControlPortsTurtle(std::ostream& out, const product::Deliverable& d) {
    const product::Parameter rangeParameter = product::ParameterAt(d, product::kRangeParameter);
    const product::Parameter bandwidthParameter = product::ParameterAt(d, product::kBandwidthParameter);
    const product::ControlRange range = product::ControlRangeOf(rangeParameter);
    ControlPort(out, kRangePort, "range", "Range", Integer(range.minimum), Integer(range.maximum),
                Integer(range.defaultValue),
                "        lv2:portProperty lv2:integer ;\n        units:unit units:db ;\n",
                "The boost and cut in dB that the band controls' ends reach (+64 is +Range dB, -64 is "
                "-Range dB), whole dB. A new Range redesigns every band.");

    std::string points = "        lv2:portProperty lv2:enumeration ;\n        units:unit units:oct ;\n";
    for (int twelfths = engine::kBandwidthMinimumTwelfths; twelfths <= engine::kBandwidthMaximumTwelfths; ++twelfths)
        points += "        lv2:scalePoint [ rdfs:label " + Quoted(product::BandwidthFractionLabel(twelfths)) +
                  " ; rdf:value " + Number(product::ControlValueOfRaw(bandwidthParameter, twelfths)) + " ] ;\n";
    ControlPort(out, kBandwidthPort, "bandwidth", "Bandwidth", Number(product::ControlValueOfRaw(bandwidthParameter, engine::kBandwidthMinimumTwelfths)),
                Number(product::ControlValueOfRaw(bandwidthParameter, engine::kBandwidthMaximumTwelfths)),
                Number(product::ControlValueOfRaw(bandwidthParameter, d.defaultBandwidthTwelfths)), points,
                "Every band's width in octaves, in 24 steps of 1/12 octave from 1/12 to 2; a value "
                "between steps takes the nearest. A new Bandwidth redesigns every band.");

    for (int band = 0; band < d.layout.bandCount; ++band) {
        const product::Parameter parameter = product::ParameterAt(d, product::kFirstBandParameter + band);
        const product::ControlRange gain = product::ControlRangeOf(parameter);
        ControlPort(out, kFirstBandPort + band, product::ControlSymbol(parameter), parameter.name,
                    Integer(gain.minimum), Integer(gain.maximum), Integer(gain.defaultValue),
                    "        lv2:portProperty lv2:integer ;\n",
                    std::string("Gain of the band centred at ") + parameter.description +
                        ", in steps of Range/64: 0 is flat, +64 is +Range dB, -64 is -Range dB; "
                        "gain in dB = value x Range / 64 (at Range 16 dB a step is 0.25 dB). The "
                        "machine's slider is value + 64.");
    }
}

std::string PluginTurtle(const PluginKind& kind) {
    std::ostringstream out;
    out << "# " << kind.deliverable().fullName << " (generated by lumo-lv2-turtle from deliverables/; do not edit)\n\n"
        << kPrefixes
        << "idpy:queue_draw a lv2:Feature .\n"
        << "idpy:interface a lv2:ExtensionData .\n\n";
    ProjectTurtle(out);
    StereoGroupTurtle(out, kind.uri, true);
    StereoGroupTurtle(out, kind.uri, false);
    PluginHeadTurtle(out, kind);
    ControlPortsTurtle(out, kind.deliverable());
    out << " .\n";
    return out.str();
}

std::string ManifestTurtle() {
    std::ostringstream out;
    out << "# The Tarvo Lumo bundle (generated by lumo-lv2-turtle; do not edit)\n\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (const PluginKind& kind : kPlugins)
        out << "\n<" << kind.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << kBinaryName << "> ;\n"
            << "    rdfs:seeAlso <" << kind.turtleFile << "> .\n";
    return out.str();
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "lumo-lv2-turtle: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace
}  // namespace lumo::lv2

int main(int argc, char** argv) {
    using namespace lumo::lv2;
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumo-lv2-turtle DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = Write(dir + "/manifest.ttl", ManifestTurtle());
    for (const PluginKind& kind : kPlugins) ok = Write(dir + "/" + kind.turtleFile, PluginTurtle(kind)) && ok;
    return ok ? 0 : 1;
}
