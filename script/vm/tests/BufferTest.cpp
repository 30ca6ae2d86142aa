#include "script/vm/BufferClass.h"
#include "script/vm/BufferObject.h"
#include "script/vm/Machine.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zeb::script;
using namespace zeb::script::vm;
using zeb::testsupport::TempFolder;

namespace {

TEST(BufferObject, NeverHoldsMoreThanItsBlockLessTheTerminator)
{
    Machine machine;
    BufferObject buffer(machine.classes().buffer, 5);
    buffer.append("ab");
    buffer.append("cdef");
    EXPECT_EQ(buffer.text(), "abcd");
    buffer.append("g");
    EXPECT_EQ(buffer.text(), "abcd");
    buffer.assign("123456789");
    EXPECT_EQ(buffer.text(), "1234");
    buffer.assign("x");
    EXPECT_EQ(buffer.text(), "x");

    BufferObject none(machine.classes().buffer, 0);
    none.append("a");
    none.assign("b");
    EXPECT_EQ(none.text(), "");
}

TEST(BufferObject, TextOfAcceptsStringsAndBuffersOnly)
{
    Machine machine;
    auto made = std::make_unique<BufferObject>(machine.classes().buffer, 8);
    made->assign("in");
    const Value buffer = Value::object(machine.heap().add(std::move(made), 1));
    ASSERT_NE(BufferObject::textOf(machine, buffer), nullptr);
    EXPECT_EQ(*BufferObject::textOf(machine, buffer), "in");
    EXPECT_EQ(*BufferObject::textOf(machine, Value::string("s")), "s");
    EXPECT_EQ(BufferObject::textOf(machine, Value::integer(5)), nullptr);
    EXPECT_EQ(BufferObject::textOf(machine, machine.global(SymbolTable::intern("Buffer"))), nullptr);
    machine.heap().remove(buffer.asHandle());
    EXPECT_EQ(BufferObject::textOf(machine, buffer), nullptr); // deleted: nil
}

TEST(ReadWholeFile, ReadsRegularFilesWhole)
{
    const TempFolder folder;
    const std::string binary("a\0b\r\n\xff", 6);
    folder.write("data.bin", binary);
    EXPECT_EQ(readWholeFile((folder / "data.bin").string(), 100), binary);
    folder.write("empty", "");
    EXPECT_EQ(readWholeFile((folder / "empty").string(), 100), "");
}

TEST(ReadWholeFile, RefusesWhatItCannotReadWholeAndAtOnce)
{
    const TempFolder folder;
    folder.write("big", std::string(101, 'x'));
    EXPECT_FALSE(readWholeFile((folder / "big").string(), 100));
    EXPECT_FALSE(readWholeFile((folder / "missing").string(), 100));
    EXPECT_FALSE(readWholeFile(folder.path().string(), 100));
    EXPECT_FALSE(readWholeFile("", 100));
    EXPECT_FALSE(readWholeFile(std::string("big\0x", 5), 100));
    // A pipe nobody writes to would block a plain open for ever.
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(readWholeFile((folder / "pipe").string(), 100));
    // A device that never ends is no regular file either.
    EXPECT_FALSE(readWholeFile("/dev/zero", 100));
}

} // namespace
