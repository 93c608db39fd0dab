// The error sound and the help text.
#include "datagen.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr double Pi = 3.14159265358979323846;

void Put16(std::vector<uint8_t> &out, uint32_t value)
{
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t> &out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put_Tag(std::vector<uint8_t> &out, const char *tag)
{
    // Byte by byte: GCC 12 sees an overflow in vector::insert into an empty vector that is not there.
    for (int k = 0; k < 4; ++k)
        out.push_back(uint8_t(tag[k]));
}

// A soft bell-like tone: quick rise, exponential fall, a little second harmonic.
double Tone(double t, double start, double frequency, double amplitude)
{
    const double local = t - start;
    if (local < 0)
        return 0;
    const double attack = std::min(1.0, local / 0.008);
    const double envelope = attack * std::exp(-local / 0.075);
    const double phase = 2 * Pi * frequency * local;
    return amplitude * envelope * (std::sin(phase) + 0.18 * std::sin(2 * phase));
}

}  // namespace

bool Generate_Sound(const Options &options)
{
    const uint32_t rate = 22050;
    const uint32_t count = uint32_t(rate * 0.35);
    std::vector<uint8_t> out;
    Put_Tag(out, "RIFF");
    Put32(out, 36 + count * 2);
    Put_Tag(out, "WAVE");
    Put_Tag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);          // PCM
    Put16(out, 1);          // mono
    Put32(out, rate);
    Put32(out, rate * 2);   // bytes per second
    Put16(out, 2);          // bytes per sample frame
    Put16(out, 16);
    Put_Tag(out, "data");
    Put32(out, count * 2);
    for (uint32_t i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double v = Tone(t, 0.0, 784.0, 0.32) + Tone(t, 0.12, 1174.7, 0.30);
        // Fade the tail to silence so the sound ends without a click.
        const double tail = double(count - 1 - i) / (rate * 0.02);
        v *= std::min(1.0, tail);
        const long sample = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        Put16(out, uint32_t(uint16_t(int16_t(sample))));
    }
    return Write_File(options.out_dir + "/include/Error.wav", out);
}

bool Generate_Help(const Options &options)
{
    static const char text[] = R"HTML(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>Mirravane Help</title>
</head>
<body>
<h1>Mirravane Help</h1>

<p>Mirravane is a colour-plasma and kaleidoscope screen saver that also runs as an ordinary
window with a menu. Its picture is a moving colour plasma, which can be mirrored into two, four
or sixteen copies, or passed through a kaleidoscope that turns and mirrors a triangle of picture
into an eight-segment pattern. Instead of the plasma the kaleidoscope can show colour slides:
scrolling backgrounds over which animated objects travel, recoloured and blended by hue or light.
An overlay can mask the picture with a circle, ellipse, diamond, star or a bitmap of your own; the
preset's title fades in over the picture, the frame rate can be shown, and the saver can wander
from one stored preset to another.</p>

<h2>Modes and command line</h2>
<table border="1" cellpadding="4">
<tr><td><b>/s</b></td><td>Run as the full-screen screen saver. A mouse movement or click, or most keys, end it.</td></tr>
<tr><td><b>/p N</b></td><td>Preview: draw inside the window whose id is N (the screen-saver host's preview area). Keys are ignored.</td></tr>
<tr><td><b>/c</b> or no argument</td><td>Configuration: open the interactive window with the menu.</td></tr>
<tr><td><b>/a</b></td><td>Change password: the program ends at once.</td></tr>
<tr><td><b>-root</b></td><td>xscreensaver style: run as the saver (like /s), drawn into the window named by XSCREENSAVER_WINDOW when it is set.</td></tr>
<tr><td><b>-window-id N</b></td><td>xscreensaver style: the same as /p N.</td></tr>
</table>
<p>The option letter may follow "-" or "/" or stand alone; /l N is accepted as /p N.</p>

<h2>Menus</h2>
<h3>Presets</h3>
<ul>
<li><b>Open</b> &ndash; load a preset file (*.DAT) from the Mirravane folder.</li>
<li><b>Save</b> &ndash; save the current settings to the preset file last opened or saved.</li>
<li><b>Save As</b> &ndash; save the current settings under a new name.</li>
<li><b>Random</b> &ndash; settings for the journey through random presets (how often the preset changes and how fast the transition runs).</li>
<li><b>Exit</b> &ndash; end the program.</li>
</ul>
<h3>View</h3>
<ul>
<li><b>Vsync</b> &ndash; wait for the vertical blank before each frame is shown.</li>
<li><b>FPS</b> &ndash; show or hide the frame rate.</li>
<li><b>Full Screen</b> &ndash; switch to full screen at the resolution chosen under Resolution. Return or Space brings the window back.</li>
<li><b>Overlay</b> &ndash; mask the picture: <b>Circle</b>, <b>Ellipse</b>, <b>Diamond</b>, <b>Star</b>, <b>Custom</b> (a bitmap from Data/Bmp/Overlays, white where the picture shows through, black elsewhere, stretched to the picture) or <b>Off</b>. Overlays do not work with 256 colours.</li>
<li><b>Resolution</b> &ndash; the full-screen resolution and colour depth.</li>
<li><b>Preview Active</b> &ndash; whether the saver's preview window is animated.</li>
<li><b>Titles</b> &ndash; fade in the preset's title when a preset is shown.</li>
<li><b>Toggle Maximise Window</b> (Ctrl+M) &ndash; fill the screen with the window, without menu or cursor, and back.</li>
</ul>
<h3>Plasma</h3>
<ul>
<li><b>Speed</b>, <b>Contrast</b>, <b>Ripples</b>, <b>Interference</b>, <b>Sway</b> &ndash; how fast the plasma moves and how it is shaped.</li>
<li><b>Colour</b> &ndash; <b>Select</b> the plasma's colours, or <b>Random</b> colour changes.</li>
<li><b>Complexity</b> &ndash; how detailed the plasma tables are.</li>
<li><b>Brighten</b> &ndash; a brighter plasma.</li>
<li><b>Multi-Colour</b> &ndash; separate red, green and blue plasmas instead of one colour plasma.</li>
<li><b>Default</b> &ndash; return every setting to its default.</li>
</ul>
<h3>Symmetry</h3>
<ul>
<li><b>Asymmetric</b> &ndash; one plasma over the whole picture.</li>
<li><b>Bipolar</b> &ndash; mirrored left to right.</li>
<li><b>Four-Fold</b> &ndash; mirrored into four quarters.</li>
<li><b>Eight-Fold</b> &ndash; mirrored into sixteen tiles.</li>
</ul>
<h3>Kaleidoscope</h3>
<ul>
<li><b>On</b> &ndash; show the picture through the kaleidoscope.</li>
<li><b>Stretch</b> &ndash; stretch the kaleidoscope's pattern over the whole window.</li>
<li><b>Granularity</b> &ndash; the size of the kaleidoscope's pattern.</li>
<li><b>Slides</b> &ndash; colour slides in the kaleidoscope instead of the plasma:
  <ul>
  <li><b>On</b>, <b>Speed</b>, <b>Fade</b>, <b>Zones</b>, <b>Direction</b>, <b>Background</b> (black, colour gradient, still or moving plasma, sine waves or none) and <b>Default</b>;</li>
  <li><b>Objects</b>: <b>Select</b> which objects travel over the slides; <b>Blend Mode</b> <b>Hue</b>, <b>Light</b> or <b>Off</b>;
      <b>Advanced</b>: <b>Compact Objects</b> turns every object file back into its single frame (the program then ends and expands them again at its next start);
      <b>Frame Convert</b> makes one new object out of every bitmap in the Frame Converter folder.</li>
  </ul></li>
</ul>
<h3>Help</h3>
<ul>
<li><b>Instructions</b> &ndash; this text.</li>
<li><b>System Info</b> &ndash; memory, display and object information.</li>
<li><b>About</b> &ndash; the program's name and version.</li>
</ul>

<h2>Keys</h2>
<table border="1" cellpadding="4">
<tr><td><b>1</b></td><td>show the frame rate</td></tr>
<tr><td><b>2</b></td><td>hide the frame rate</td></tr>
<tr><td><b>3</b></td><td>circle overlay</td></tr>
<tr><td><b>4</b></td><td>ellipse overlay</td></tr>
<tr><td><b>5</b></td><td>overlay off</td></tr>
<tr><td><b>6</b>, <b>7</b>, <b>8</b></td><td>symmetry Asymmetric, Bipolar, Four-Fold</td></tr>
<tr><td><b>9</b></td><td>kaleidoscope on</td></tr>
<tr><td><b>0</b></td><td>kaleidoscope off</td></tr>
<tr><td><b>R</b> or <b>F3</b></td><td>start random presets, a new one every 60 seconds</td></tr>
<tr><td><b>keypad +</b></td><td>show the next random preset now</td></tr>
<tr><td><b>T</b> or <b>F5</b></td><td>show the title again</td></tr>
<tr><td><b>Return</b> or <b>Space</b></td><td>leave full screen</td></tr>
<tr><td><b>Escape</b></td><td>end the program</td></tr>
</table>
<p>While running as the screen saver, any other key, a click or moving the mouse ends it.</p>

<h2>Where things live</h2>
<p>Everything belongs to the <b>Mirravane</b> folder below the data folder: the folder named by
<code>$MIRRAVANE_WINDOWS_DIR</code> if it is set, otherwise <code>$XDG_DATA_HOME</code>, otherwise
<code>~/.local/share</code>. Names are matched without regard to case.</p>
<ul>
<li>Presets are the <b>*.DAT</b> files in that folder, 10136 bytes each. <b>default.dat</b> is loaded at start and, in configuration mode, saved when the program ends.</li>
<li>Objects: <b>Data/Bmp/Objects</b>, numbered 0.bmp, 1.bmp, ... without gaps; square frames stacked from top to bottom, black is transparent. A single-frame object is expanded into 32 coloured frames the first time it is loaded.</li>
<li>Custom overlays: <b>Data/Bmp/Overlays</b>.</li>
<li>Frame Converter: <b>Data/Frame Converter</b> &ndash; drop frame bitmaps there and use Frame Convert to make objects of them.</li>
<li>The error log <b>error_log.txt</b> is written in the Mirravane folder at every start.</li>
</ul>
</body>
</html>
)HTML";
    return Write_Text(options.out_dir + "/Data/Help.HLP", QByteArray(text)) &&
           Write_Text(options.out_dir + "/Data/Frame Converter/README.txt",
                      "Drop frame bitmaps (*.BMP) into this folder, then choose\n"
                      "Kaleidoscope > Slides > Objects > Advanced > Frame Convert:\n"
                      "every bitmap here becomes one new object.\n");
}

}  // namespace datagen
