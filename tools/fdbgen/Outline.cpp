// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/Outline.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace fdbgen {
namespace {

// Quadratics per cubic: four keep the error far below one unit of a 1024 em for glyph sizes.
constexpr int kQuadsPerCubic = 4;

struct Builder {
    const EmScale& scale;
    std::vector<PathSegment> path;
    FT_Vector current {};

    Point toEm(FT_Pos x, FT_Pos y) const { return { scale(x), -scale(y) }; }
    Point toEm(const FT_Vector& v) const { return toEm(v.x, v.y); }
    Point pen() const { return path.empty() ? Point {} : path.back().to; }

    void dropEmptyContour()
    {
        if (!path.empty() && path.back().kind == PathSegment::Kind::Move) {
            path.pop_back();
        }
    }
    void moveTo(const FT_Vector& to)
    {
        dropEmptyContour();
        path.push_back({ PathSegment::Kind::Move, {}, toEm(to) });
        current = to;
    }
    void lineTo(const FT_Vector& to)
    {
        const Point p = toEm(to);
        if (p != pen()) {
            path.push_back({ PathSegment::Kind::Line, {}, p });
        }
        current = to;
    }
    void quadTo(Point control, Point to)
    {
        const Point from = pen();
        if (to == from && control == from) {
            return;
        }
        if (control == from || control == to) {
            path.push_back({ PathSegment::Kind::Line, {}, to });
        } else {
            path.push_back({ PathSegment::Kind::Quad, control, to });
        }
    }
    void conicTo(const FT_Vector& control, const FT_Vector& to)
    {
        quadTo(toEm(control), toEm(to));
        current = to;
    }
    void cubicTo(const FT_Vector& c1, const FT_Vector& c2, const FT_Vector& to)
    {
        // Split at equal steps of t; each piece's quadratic control is the meeting point of the
        // piece's end tangents, estimated as (3 (q1 + q2) - (q0 + q3)) / 4.
        const double p[4][2] = { { double(current.x), double(current.y) }, { double(c1.x), double(c1.y) },
            { double(c2.x), double(c2.y) }, { double(to.x), double(to.y) } };
        auto at = [&p](double t, int axis) {
            const double u = 1 - t;
            return u * u * u * p[0][axis] + 3 * u * u * t * p[1][axis] + 3 * u * t * t * p[2][axis] +
                t * t * t * p[3][axis];
        };
        auto slope = [&p](double t, int axis) {
            const double u = 1 - t;
            return 3 * u * u * (p[1][axis] - p[0][axis]) + 6 * u * t * (p[2][axis] - p[1][axis]) +
                3 * t * t * (p[3][axis] - p[2][axis]);
        };
        for (int i = 0; i < kQuadsPerCubic; ++i) {
            const double t0 = double(i) / kQuadsPerCubic;
            const double t1 = double(i + 1) / kQuadsPerCubic;
            const double h = (t1 - t0) / 3;
            double control[2];
            double end[2];
            for (int axis = 0; axis < 2; ++axis) {
                const double q0 = at(t0, axis);
                const double q3 = at(t1, axis);
                const double q1 = q0 + h * slope(t0, axis);
                const double q2 = q3 - h * slope(t1, axis);
                control[axis] = (3 * (q1 + q2) - (q0 + q3)) / 4;
                end[axis] = q3;
            }
            const Point endPoint = i + 1 == kQuadsPerCubic
                ? toEm(to)
                : toEm(static_cast<FT_Pos>(std::lround(end[0])), static_cast<FT_Pos>(std::lround(end[1])));
            quadTo(toEm(static_cast<FT_Pos>(std::lround(control[0])),
                       static_cast<FT_Pos>(std::lround(control[1]))),
                endPoint);
        }
        current = to;
    }
};

Builder& builderOf(void* user)
{
    return *static_cast<Builder*>(user);
}

int onMove(const FT_Vector* to, void* user)
{
    builderOf(user).moveTo(*to);
    return 0;
}
int onLine(const FT_Vector* to, void* user)
{
    builderOf(user).lineTo(*to);
    return 0;
}
int onConic(const FT_Vector* control, const FT_Vector* to, void* user)
{
    builderOf(user).conicTo(*control, *to);
    return 0;
}
int onCubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    builderOf(user).cubicTo(*c1, *c2, *to);
    return 0;
}

} // namespace

std::vector<PathSegment> convertOutline(const FT_Outline& outline, const EmScale& scale)
{
    const FT_Outline_Funcs funcs { onMove, onLine, onConic, onCubic, 0, 0 };
    Builder builder { scale, {}, {} };
    // FreeType takes the outline by non-const pointer but only reads it.
    const FT_Error error = FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &builder);
    if (error != 0) {
        throw std::runtime_error(
            "glyph outline cannot be decomposed (FreeType error " + std::to_string(error) + ")");
    }
    builder.dropEmptyContour();
    return std::move(builder.path);
}

} // namespace fdbgen
