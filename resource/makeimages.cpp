// Draws the editor's images: makeimages <folder> writes handle.png, bypass.png and
// about.png there. Buttons hold their off image above their on image.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

struct Rgb
{
	double r, g, b;
};

constexpr Rgb kDim {0.55, 0.60, 0.65};
constexpr Rgb kLight {0.87, 0.90, 0.93};
constexpr Rgb kDark {0.09, 0.10, 0.12};
constexpr Rgb kAccent {0.31, 0.70, 0.85};
constexpr Rgb kAmber {0.88, 0.63, 0.19};
constexpr double kPi = 3.14159265358979323846;

void setColor (cairo_t* cr, const Rgb& c, double alpha = 1.)
{
	cairo_set_source_rgba (cr, c.r, c.g, c.b, alpha);
}

void roundedRect (cairo_t* cr, double x, double y, double w, double h, double radius)
{
	cairo_new_sub_path (cr);
	cairo_arc (cr, x + w - radius, y + radius, radius, -kPi / 2., 0.);
	cairo_arc (cr, x + w - radius, y + h - radius, radius, 0., kPi / 2.);
	cairo_arc (cr, x + radius, y + h - radius, radius, kPi / 2., kPi);
	cairo_arc (cr, x + radius, y + radius, radius, kPi, 1.5 * kPi);
	cairo_close_path (cr);
}

void centredText (cairo_t* cr, const char* text, double cx, double cy, double size)
{
	cairo_select_font_face (cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
	cairo_set_font_size (cr, size);
	cairo_text_extents_t e;
	cairo_text_extents (cr, text, &e);
	cairo_move_to (cr, cx - e.width / 2. - e.x_bearing, cy - e.height / 2. - e.y_bearing);
	cairo_show_text (cr, text);
}

bool write (const std::string& path, int width, int height,
            const std::function<void (cairo_t*)>& draw)
{
	cairo_surface_t* surface = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, width, height);
	cairo_t* cr = cairo_create (surface);
	draw (cr);
	cairo_destroy (cr);
	const bool ok = cairo_surface_write_to_png (surface, path.c_str ()) == CAIRO_STATUS_SUCCESS;
	cairo_surface_destroy (surface);
	if (!ok)
		std::fprintf (stderr, "makeimages: cannot write %s\n", path.c_str ());
	return ok;
}

// The fader cap: a light rounded bar with a groove across its middle.
void drawHandle (cairo_t* cr)
{
	roundedRect (cr, 0.5, 0.5, 27., 13., 3.);
	cairo_pattern_t* shade = cairo_pattern_create_linear (0., 0., 0., 14.);
	cairo_pattern_add_color_stop_rgb (shade, 0., 0.95, 0.96, 0.97);
	cairo_pattern_add_color_stop_rgb (shade, 1., 0.70, 0.74, 0.78);
	cairo_set_source (cr, shade);
	cairo_fill_preserve (cr);
	cairo_pattern_destroy (shade);
	setColor (cr, kDark, 0.8);
	cairo_set_line_width (cr, 1.);
	cairo_stroke (cr);
	setColor (cr, kDark, 0.9);
	cairo_rectangle (cr, 4., 6.5, 20., 1.);
	cairo_fill (cr);
}

// A pill with a caption; lit in fill colour when on.
void drawPill (cairo_t* cr, double y, bool on, const Rgb& fill, const char* caption)
{
	const double w = 84., h = 26.;
	roundedRect (cr, 1., y + 1., w - 2., h - 2., (h - 2.) / 2.);
	setColor (cr, on ? fill : kDark);
	cairo_fill_preserve (cr);
	setColor (cr, on ? fill : kDim, on ? 1. : 0.7);
	cairo_set_line_width (cr, 1.5);
	cairo_stroke (cr);
	setColor (cr, on ? kDark : kDim);
	centredText (cr, caption, w / 2., y + h / 2., 11.);
}

// An "i" in a circle; filled when on.
void drawInfo (cairo_t* cr, double y, bool on)
{
	const double c = 13.;
	cairo_new_path (cr);
	cairo_arc (cr, c, y + c, 11., 0., 2. * kPi);
	setColor (cr, on ? kAccent : kDark);
	cairo_fill_preserve (cr);
	setColor (cr, on ? kAccent : kDim);
	cairo_set_line_width (cr, 1.5);
	cairo_stroke (cr);
	setColor (cr, on ? kDark : kLight);
	centredText (cr, "i", c, y + c, 14.);
}

} // namespace

int main (int argc, char** argv)
{
	if (argc != 2)
	{
		std::fprintf (stderr, "usage: makeimages <folder>\n");
		return 2;
	}
	const std::string folder = argv[1];
	bool ok = write (folder + "/handle.png", 28, 14, drawHandle);
	ok = write (folder + "/bypass.png", 84, 52,
	            [] (cairo_t* cr) {
		            drawPill (cr, 0., false, kAmber, "BYPASS");
		            drawPill (cr, 26., true, kAmber, "BYPASS");
	            }) && ok;
	ok = write (folder + "/about.png", 26, 52,
	            [] (cairo_t* cr) {
		            drawInfo (cr, 0., false);
		            drawInfo (cr, 26., true);
	            }) && ok;
	// Leaves nothing in the font caches for the leak checker of the sanitizer build.
	cairo_debug_reset_static_data ();
	FcFini ();
	return ok ? 0 : 1;
}
