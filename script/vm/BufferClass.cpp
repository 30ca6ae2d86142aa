#include "script/vm/BufferClass.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/BufferObject.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Library.h"
#include "script/vm/PrintPrimitives.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zeb::script::vm {

namespace {

// The block "+" prints its argument into before appending it.
constexpr std::size_t kPrintBlock = 1024;

BufferObject* bufferOf(Interpreter& in, const Value& value)
{
    return dynamic_cast<BufferObject*>(in.machine().object(value));
}

Value bufferNew(Interpreter& in, const Value&, const Arguments& args)
{
    const std::int64_t size = Library::size(args[0]);
    if (size < 0)
        return Value::integer(0);
    return in.make(std::make_unique<BufferObject>(in.machine().classes().buffer, static_cast<std::size_t>(size)));
}

Value bufferLoad(Interpreter& in, const Value&, const Arguments& args)
{
    const std::string* named = BufferObject::textOf(in.machine(), args[0]);
    if (named == nullptr)
        return Value::integer(0);
    const std::string path = *named;
    std::optional<std::string> content;
    {
        BlockingSection section(in);
        content = readWholeFile(path, static_cast<std::size_t>(Library::kMaxSize));
    }
    if (!content)
        return Value::integer(0);
    auto buffer = std::make_unique<BufferObject>(in.machine().classes().buffer, content->size() + 1);
    buffer->assign(*content);
    return in.make(std::move(buffer));
}

Value bufferEmpty(Interpreter& in, const Value& self, const Arguments&)
{
    // A string receiver stays as it is: other values share its text.
    if (BufferObject* buffer = bufferOf(in, self))
        buffer->clear();
    return self;
}

// The printed form of any value, as its own "print:" writes it into a fresh block.
std::string printedForm(Interpreter& in, const Value& value)
{
    if (value.tag() != Tag::Object) {
        std::string text = printedText(in, value);
        text.resize(std::min(text.size(), kPrintBlock - 1));
        return text;
    }
    // An object may print itself with a method of its own: give it a real Buffer.
    const Value block = in.make(std::make_unique<BufferObject>(in.machine().classes().buffer, kPrintBlock));
    in.send(value, SymbolTable::intern("print:"), {block});
    std::string text;
    if (BufferObject* buffer = bufferOf(in, block))
        text = buffer->text();
    in.machine().heap().remove(block.asHandle());
    return text;
}

Value bufferAppend(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::string text = printedForm(in, args[0]);
    // Looked up after the send: the argument's print: may have deleted the receiver.
    if (BufferObject* buffer = bufferOf(in, self))
        buffer->append(text);
    return self;
}

Value bufferPrint(Interpreter& in, const Value& self, const Arguments&)
{
    if (const BufferObject* buffer = bufferOf(in, self))
        in.write(buffer->text());
    return self;
}

Value bufferPrintInto(Interpreter& in, const Value& self, const Arguments& args)
{
    const BufferObject* source = bufferOf(in, self);
    BufferObject* target = bufferOf(in, args[0]);
    if (source != nullptr && target != nullptr)
        target->assign(std::string(source->text()));
    return self;
}

Value bufferEqual(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::string* mine = BufferObject::textOf(in.machine(), self);
    const std::string* theirs = BufferObject::textOf(in.machine(), args[0]);
    return Value::truth(mine != nullptr && theirs != nullptr && *mine == *theirs);
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> content;
    struct stat status
    { };
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) <= limit) {
        content.emplace();
        char chunk[65536];
        // The size may change while reading: the limit bounds the loop, not the first size.
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got == 0)
                break;
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || content->size() + static_cast<std::size_t>(got) > limit) {
                content.reset();
                break;
            }
            content->append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return content;
}

void installBufferClass(Machine& machine)
{
    ClassObject* buffer = machine.classes().buffer;
    Library::defineClassSide(machine, buffer, {{"new:", bufferNew}, {"load:", bufferLoad}});
    Library::define(buffer,
                    {{"empty", bufferEmpty},
                     {"+", bufferAppend},
                     {"print", bufferPrint},
                     {"print:", bufferPrintInto},
                     {"==", bufferEqual}});
}

} // namespace zeb::script::vm
