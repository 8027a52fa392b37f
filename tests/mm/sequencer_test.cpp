#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/mm/audio.h"
#include "platform/mm/mmsystem.h"
#include "tests/mm/audio_fixture.h"
#include "tests/mm/media_files.h"

namespace {

namespace fs = std::filesystem;

// Runs in a folder of its own holding midi\1.mid (4 notes at 120 bpm: 2 s) and a broken file.
class Sequencer : public mmtest::AudioTest {
  protected:
    void SetUp() override {
        m_old = fs::current_path();
        m_dir = fs::path(::testing::TempDir()) / ("mm_seq_" + std::to_string(getpid()));
        fs::create_directories(m_dir / "midi");
        fs::current_path(m_dir);
        mmtest::WriteFile("midi/1.mid", mmtest::MidiTune(4, 120));
        mmtest::WriteFile("midi/2.mid", mmtest::MidiTune(2, 120));
        mmtest::WriteFile("midi/bad.mid", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    }
    void TearDown() override {
        AudioTest::TearDown();
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }

    MCIERROR Open(const char* name, MCIDEVICEID* id) {
        MCI_OPEN_PARMS open{};
        open.lpstrElementName = name;
        MCIERROR err =
            mciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<std::uintptr_t>(&open));
        *id = open.wDeviceID;
        return err;
    }
    MCIERROR Status(MCIDEVICEID id, unsigned long item, std::uintptr_t* value) {
        MCI_STATUS_PARMS status{};
        status.dwItem = item;
        MCIERROR err = mciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM,
                                      reinterpret_cast<std::uintptr_t>(&status));
        *value = status.dwReturn;
        return err;
    }
    std::uintptr_t Mode(MCIDEVICEID id) {
        std::uintptr_t mode = 0;
        EXPECT_EQ(Status(id, MCI_STATUS_MODE, &mode), 0u);
        return mode;
    }
    MCIERROR Simple(MCIDEVICEID id, unsigned message, unsigned long flags = 0) {
        MCI_GENERIC_PARMS parms{};
        return mciSendCommand(id, message, flags, reinterpret_cast<std::uintptr_t>(&parms));
    }
    MCIERROR Play(MCIDEVICEID id) {
        MCI_PLAY_PARMS play{};
        return mciSendCommand(id, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<std::uintptr_t>(&play));
    }

  private:
    fs::path m_old, m_dir;
};

TEST_F(Sequencer, TunePlaysToItsEndOnTheClockThenCloses) {
    UseDriver("dummy");
    seams::UseVirtualClock(1000);
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open("midi\\1.mid", &id), 0u);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(Mode(id), MCI_MODE_STOP);
    std::uintptr_t value = 0;
    EXPECT_EQ(Status(id, MCI_SEQ_STATUS_PORT, &value), 0u);
    EXPECT_EQ(value, MCI_SEQ_MAPPER);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH, &value), 0u);
    EXPECT_EQ(value, 2000u);

    MCI_SET_PARMS set{};
    set.dwAudio = MCI_SET_AUDIO_LEFT;
    EXPECT_EQ(mciSendCommand(id, MCI_SET, MCI_SET_AUDIO | MCI_SET_OFF | MCI_NOTIFY,
                             reinterpret_cast<std::uintptr_t>(&set)),
              MCIERR_UNSUPPORTED_FUNCTION);

    ASSERT_EQ(Play(id), 0u);
    EXPECT_EQ(Mode(id), MCI_MODE_PLAY);
    seams::AdvanceClock(1999);
    EXPECT_EQ(Mode(id), MCI_MODE_PLAY);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION, &value), 0u);
    EXPECT_EQ(value, 1999u);
    seams::AdvanceClock(1);
    EXPECT_EQ(Mode(id), MCI_MODE_STOP);

    EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE, &value), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(TraceJson(),
              (std::vector<std::string>{seams::TraceToJson("midi", {{"file", "midi\\1.mid"}}),
                                        seams::TraceToJson("midi_stop", {})}));
}

TEST_F(Sequencer, StopHoldsThePositionAndPlayingAnotherStopsTheFirst) {
    UseDriver("dummy");
    seams::UseVirtualClock(1000);
    MCIDEVICEID a = 0, b = 0;
    ASSERT_EQ(Open("midi\\1.mid", &a), 0u);
    ASSERT_EQ(Open("midi/2.mid", &b), 0u);
    EXPECT_NE(a, b);
    ASSERT_EQ(Play(a), 0u);
    seams::AdvanceClock(500);
    EXPECT_EQ(Simple(a, MCI_STOP), 0u);
    EXPECT_EQ(Mode(a), MCI_MODE_STOP);
    std::uintptr_t position = 0;
    seams::AdvanceClock(300);
    EXPECT_EQ(Status(a, MCI_STATUS_POSITION, &position), 0u);
    EXPECT_EQ(position, 500u);

    ASSERT_EQ(Play(a), 0u);
    ASSERT_EQ(Play(b), 0u);
    EXPECT_EQ(Mode(a), MCI_MODE_STOP);
    EXPECT_EQ(Mode(b), MCI_MODE_PLAY);
    EXPECT_EQ(Simple(a, MCI_CLOSE), 0u);
    EXPECT_EQ(Simple(b, MCI_CLOSE), 0u);
}

TEST_F(Sequencer, FailedOpensLeaveNothingOpenAndLaterCommandsFailHarmlessly) {
    UseDriver("dummy");
    MCIDEVICEID id = 77;
    EXPECT_EQ(Open("midi\\9.mid", &id), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(id, 0u);  // untouched
    EXPECT_EQ(Open("midi\\bad.mid", &id), MCIERR_INVALID_FILE);
    MCI_OPEN_PARMS noElement{};
    EXPECT_EQ(mciSendCommand(0, MCI_OPEN, 0, reinterpret_cast<std::uintptr_t>(&noElement)),
              MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, 0), MCIERR_NULL_PARAMETER_BLOCK);

    std::uintptr_t mode = 12345;
    EXPECT_EQ(Status(0, MCI_STATUS_MODE, &mode), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(mode, 0u);  // nothing was written
    EXPECT_EQ(Simple(0, MCI_STOP), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(Simple(0, MCI_CLOSE), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(Simple(3, MCI_PLAY), MCIERR_INVALID_DEVICE_ID);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(Sequencer, NoDeviceMeansNoTune) {
    UseDriver("no-such-driver");
    MCIDEVICEID id = 0;
    EXPECT_EQ(Open("midi\\1.mid", &id), MCIERR_SEQ_NOMIDIPRESENT);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(Sequencer, TuneProducesAudio) {
    UseDriver("disk");
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open("midi\\2.mid", &id), 0u);  // two quarter notes: 1 s
    ASSERT_EQ(Play(id), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    EXPECT_EQ(Mode(id), MCI_MODE_STOP);
    EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
    mm::CloseAudio();

    auto samples = mmtest::ReadSamples(DiskFile());
    auto span = mmtest::LoudSpan(samples, 300);
    ASSERT_GE(span.first, 0) << "the tune produced only silence";
    double seconds = double(span.last - span.first + 1) / 22050;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 1.6);  // the notes and their release, nothing after the end
}

}  // namespace
