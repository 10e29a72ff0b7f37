#include "edit_codec.h"

#include "uno_support.h"

#include <array>

namespace word::edit_codec {

using namespace word::uno;
using Kind = EditCommand::Kind;

namespace {

// Each command travels as its kind's name and a list of arguments.
constexpr std::array<std::pair<Kind, const char*>, 16> kNames{{
    {Kind::WholeStory, "WholeStory"},
    {Kind::Copy, "Copy"},
    {Kind::EndOfStory, "EndOfStory"},
    {Kind::Paste, "Paste"},
    {Kind::Backspace, "Backspace"},
    {Kind::GoToPage, "GoToPage"},
    {Kind::Replace, "Replace"},
    {Kind::EndStaging, "EndStaging"},
    {Kind::PastedPages, "PastedPages"},
    {Kind::ViewChanged, "ViewChanged"},
    {Kind::CountPages, "CountPages"},
    {Kind::KeepPages, "KeepPages"},
    {Kind::FitTextToLines, "FitTextToLines"},
    {Kind::Statistics, "Statistics"},
    {Kind::ExpectPages, "ExpectPages"},
    {Kind::Fail, "Fail"},
}};

Sequence<Any> anys(std::initializer_list<Any> values)
{
    return Sequence<Any>(values.begin(), static_cast<sal_Int32>(values.size()));
}

template <typename T> T argument(const Sequence<Any>& arguments, sal_Int32 index)
{
    T value{};
    if (index >= arguments.getLength() || !(arguments[index] >>= value)) {
        throw Error(QStringLiteral("An editing command reached the office incomplete."));
    }
    return value;
}

} // namespace

Sequence<css::beans::NamedValue> encodeCommands(const std::vector<EditCommand>& commands)
{
    Sequence<css::beans::NamedValue> encoded(static_cast<sal_Int32>(commands.size()));
    css::beans::NamedValue* out = encoded.getArray();
    for (const EditCommand& command : commands) {
        for (const auto& [kind, name] : kNames) {
            if (kind == command.kind) {
                out->Name = rtl::OUString::createFromAscii(name);
            }
        }
        Sequence<Any> arguments;
        switch (command.kind) {
        case Kind::GoToPage:
        case Kind::KeepPages:
            arguments = anys({Any(static_cast<sal_Int32>(command.direction)),
                              Any(static_cast<sal_Int32>(command.count))});
            break;
        case Kind::Statistics:
        case Kind::ExpectPages:
            arguments = anys({Any(static_cast<sal_Int32>(command.count))});
            break;
        case Kind::Replace:
            arguments =
                anys({Any(toOU(command.request.text)), Any(toOU(command.request.replacement)),
                      Any(static_cast<sal_Int32>(command.request.wrap)),
                      Any(toOU(command.request.style))});
            break;
        case Kind::FitTextToLines:
            arguments = anys({Any(toOU(command.keptClear.styles.join(QLatin1Char('\n')))),
                              Any(command.keptClear.points)});
            break;
        case Kind::Fail:
            arguments = anys({Any(toOU(command.failure))});
            break;
        default:
            break;
        }
        out->Value <<= arguments;
        ++out;
    }
    return encoded;
}

std::vector<EditCommand> decodeCommands(const Sequence<css::beans::NamedValue>& encoded)
{
    std::vector<EditCommand> commands;
    commands.reserve(encoded.getLength());
    for (const css::beans::NamedValue& value : encoded) {
        EditCommand command;
        bool known = false;
        for (const auto& [kind, name] : kNames) {
            if (value.Name.equalsAscii(name)) {
                command.kind = kind;
                known = true;
            }
        }
        if (!known) {
            throw Error(QStringLiteral("The office was asked for an unknown editing command, "
                                       "\"%1\".")
                            .arg(toQ(value.Name)));
        }
        Sequence<Any> arguments;
        value.Value >>= arguments;
        switch (command.kind) {
        case Kind::GoToPage:
        case Kind::KeepPages:
            command.direction = static_cast<WdGoToDirection>(argument<sal_Int32>(arguments, 0));
            command.count = argument<sal_Int32>(arguments, 1);
            break;
        case Kind::Statistics:
        case Kind::ExpectPages:
            command.count = argument<sal_Int32>(arguments, 0);
            break;
        case Kind::Replace:
            command.request.text = toQ(argument<rtl::OUString>(arguments, 0));
            command.request.replacement = toQ(argument<rtl::OUString>(arguments, 1));
            command.request.wrap = static_cast<WdFindWrap>(argument<sal_Int32>(arguments, 2));
            command.request.style = toQ(argument<rtl::OUString>(arguments, 3));
            break;
        case Kind::FitTextToLines:
            command.keptClear.styles = toQ(argument<rtl::OUString>(arguments, 0))
                                           .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            command.keptClear.points = argument<double>(arguments, 1);
            break;
        case Kind::Fail:
            command.failure = toQ(argument<rtl::OUString>(arguments, 0));
            break;
        default:
            break;
        }
        commands.push_back(command);
    }
    return commands;
}

// An outcome is (failed, description, value).
Any encodeOutcomes(const std::vector<EditOutcome>& outcomes)
{
    Sequence<Any> encoded(static_cast<sal_Int32>(outcomes.size()));
    Any* out = encoded.getArray();
    for (const EditOutcome& outcome : outcomes) {
        *out++ <<= anys({Any(outcome.failed), Any(toOU(outcome.description)),
                         Any(static_cast<sal_Int32>(outcome.value))});
    }
    return Any(encoded);
}

std::vector<EditOutcome> decodeOutcomes(const Any& encoded, std::size_t commands)
{
    Sequence<Any> all;
    encoded >>= all;
    if (static_cast<std::size_t>(all.getLength()) != commands) {
        throw Error(QStringLiteral("The office answered %1 editing commands with %2 outcomes.")
                        .arg(commands)
                        .arg(all.getLength()));
    }
    std::vector<EditOutcome> outcomes;
    outcomes.reserve(commands);
    for (const Any& one : all) {
        Sequence<Any> parts;
        one >>= parts;
        EditOutcome outcome;
        outcome.failed = argument<bool>(parts, 0);
        outcome.description = toQ(argument<rtl::OUString>(parts, 1));
        outcome.value = argument<sal_Int32>(parts, 2);
        outcomes.push_back(outcome);
    }
    return outcomes;
}

} // namespace word::edit_codec
