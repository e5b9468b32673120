// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/DecodePlan.h"

#include "imaging/Limits.h"
#include "imaging/PngReduction.h"

#include <algorithm>
#include <cstdio>

namespace imaging {

namespace {

// The scales the JPEG decoder offers, as divisors of each side.
constexpr int kJpegScales[] = { 1, 2, 4, 8 };
// Accumulator bytes a reduced pixel of an interlaced PNG takes (five 32-bit sums).
constexpr std::uint64_t kInterlacedCellBytes = 20;

std::uint64_t reducedArea(Size size, int factor)
{
    const auto f = static_cast<std::uint64_t>(factor);
    const auto w = (static_cast<std::uint64_t>(size.width) + f - 1) / f;
    const auto h = (static_cast<std::uint64_t>(size.height) + f - 1) / f;
    return w * h;
}

// How far the hint lets each side shrink: the whole number of times it fits into both sides.
int hintFactor(Size declared, const std::optional<Size>& hint)
{
    if (!hint || hint->width <= 0 || hint->height <= 0) {
        return 1;
    }
    return std::max(1, std::min(declared.width / hint->width, declared.height / hint->height));
}

std::string megapixelText(std::uint64_t area)
{
    const double megapixels = static_cast<double>(area) / 1e6;
    if (area % 1'000'000 == 0) {
        return std::to_string(area / 1'000'000);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", megapixels);
    return text;
}

DecodePlan refuse(std::string reason)
{
    DecodePlan plan;
    plan.refusal = std::move(reason);
    return plan;
}

} // namespace

std::string sizeText(Size size)
{
    return std::to_string(size.width) + "\u00D7" + std::to_string(size.height);
}

std::string sizeRefusal(Size declared)
{
    if (declared.width <= 0 || declared.height <= 0) {
        return "the picture declares no size";
    }
    if (static_cast<std::uint64_t>(declared.width) > limits::kMaxSide ||
        static_cast<std::uint64_t>(declared.height) > limits::kMaxSide) {
        return "picture too large: " + sizeText(declared) + ", the limit is " +
            std::to_string(limits::kMaxSide) + " pixels a side";
    }
    if (reducedArea(declared, 1) > limits::kMaxArea) {
        return "picture too large: " + sizeText(declared) + ", the limit is " +
            megapixelText(limits::kMaxArea) + " megapixels";
    }
    return {};
}

DecodePlan planDecode(Format format, Size declared, const std::optional<Size>& hint,
    std::uint64_t fullDecodeArea, bool interlacedPng)
{
    if (format == Format::Pcx) {
        // The same share of the memory as the general limit takes.
        fullDecodeArea = static_cast<std::uint64_t>(static_cast<double>(fullDecodeArea) *
            static_cast<double>(limits::kMaxPcxDecodeArea) / static_cast<double>(limits::kMaxFullDecodeArea));
    }
    if (std::string refusal = sizeRefusal(declared); !refusal.empty()) {
        return refuse(std::move(refusal));
    }
    const int byHint = hintFactor(declared, hint);
    const bool hinted = hint.has_value();
    if (format == Format::Jpeg) {
        // The scale the decoder takes for the hint alone, as it always did, then larger ones while
        // the decoded picture would not fit.
        int scale = 1;
        for (const int candidate : kJpegScales) {
            if (candidate <= byHint) {
                scale = candidate;
            }
        }
        if (reducedArea(declared, scale) <= fullDecodeArea) {
            DecodePlan plan;
            plan.factor = scale;
            return plan;
        }
        if (hinted) {
            for (const int candidate : kJpegScales) {
                if (candidate > scale && reducedArea(declared, candidate) <= fullDecodeArea) {
                    DecodePlan plan;
                    plan.method = DecodeMethod::JpegScaled;
                    plan.factor = candidate;
                    return plan;
                }
            }
        }
    } else if (reducedArea(declared, 1) <= fullDecodeArea) {
        return {};
    } else if (hinted && (format == Format::Png || format == Format::Wmf)) {
        int factor = byHint;
        const auto fits = [&](int f) {
            const std::uint64_t area = reducedArea(declared, f);
            return area <= fullDecodeArea &&
                (!interlacedPng || area * kInterlacedCellBytes <= limits::kMaxReductionBytes);
        };
        while (!fits(factor) && factor < kMaxPngReductionFactor) {
            ++factor;
        }
        factor = std::min(factor, kMaxPngReductionFactor);
        if (fits(factor)) {
            DecodePlan plan;
            plan.method = format == Format::Png ? DecodeMethod::PngReduced : DecodeMethod::WmfDensity;
            plan.factor = factor;
            return plan;
        }
    }
    const std::string limit = megapixelText(fullDecodeArea);
    if (!hinted && (format == Format::Jpeg || format == Format::Png || format == Format::Wmf)) {
        return refuse("picture too large to decode at full size: " + sizeText(declared) + ", the limit is " +
            limit + " megapixels");
    }
    return refuse("picture too large: " + sizeText(declared) + ", the limit for " +
        std::string(coderName(format)) + " pictures is " + limit + " megapixels");
}

} // namespace imaging
