// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/OperationDeadline.h"
#include "imaging/MagickSession.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

// A resize that runs out of time is stopped and reported, and the monitor is removed again. (What the
// stopped image then holds is of no use: callers throw it away.)
TEST(OperationDeadlineTest, StopsWorkPastTheLimitAndDetaches)
{
    imaging::MagickSession::ensureStarted();
    Magick::Image image(Magick::Geometry(400, 300), Magick::Color("red"));
    {
        imaging::OperationDeadline deadline(image, std::chrono::seconds(-1));
        Magick::Geometry target(200, 150);
        target.aspect(true);
        try {
            image.resize(target);
        } catch (const Magick::Exception&) {
            // Stopping may or may not raise; expired() is what callers rely on.
        }
        EXPECT_TRUE(deadline.expired());
    }
    EXPECT_EQ(image.constImage()->progress_monitor, nullptr);

    Magick::Image other(Magick::Geometry(400, 300), Magick::Color("blue"));
    imaging::OperationDeadline generous(other, std::chrono::seconds(60));
    other.resize(Magick::Geometry(40, 30));
    EXPECT_FALSE(generous.expired());
    EXPECT_EQ(other.columns(), 40u);
}

} // namespace
