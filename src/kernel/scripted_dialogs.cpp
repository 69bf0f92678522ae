#include "kernel/scripted_dialogs.h"

namespace saldorama {

void ScriptedDialogs::notice(const std::string& text) { log.push_back({Kind::Notice, text}); }

bool ScriptedDialogs::question(const std::string& text, Preset preset) {
    log.push_back({Kind::Question, text, preset, false});
    if (answers.empty()) return defaultAnswer;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

Answer ScriptedDialogs::questionWithCancel(const std::string& text) {
    log.push_back({Kind::Question, text, Preset::Yes, true});
    if (choices.empty()) {
        bool yes = defaultAnswer;
        if (!answers.empty()) {
            yes = answers.front();
            answers.pop_front();
        }
        return yes ? Answer::Yes : Answer::No;
    }
    const Answer answer = choices.front();
    choices.pop_front();
    return answer;
}

void ScriptedDialogs::failure(const std::string& text) { log.push_back({Kind::Failure, text}); }

std::optional<std::string> ScriptedDialogs::saveFile(const FileDialogSpec& request) {
    return fileDialog(Kind::SaveFile, request);
}

std::optional<std::string> ScriptedDialogs::openFile(const FileDialogSpec& request) {
    return fileDialog(Kind::OpenFile, request);
}

bool ScriptedDialogs::openDocument(const std::string& path) {
    log.push_back({Kind::OpenDocument, path});
    return viewerFound;
}

bool ScriptedDialogs::openManual(const std::string& path, const std::string& chapter) {
    manualChapter = chapter;
    return openDocument(path);
}

std::optional<std::string> ScriptedDialogs::fileDialog(Kind kind, const FileDialogSpec& request) {
    log.push_back({kind, request.title});
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::vector<std::string> ScriptedDialogs::texts(Kind kind) const {
    std::vector<std::string> out;
    for (const auto& e : log)
        if (e.kind == kind) out.push_back(e.text);
    return out;
}

std::string ScriptedDialogs::last(Kind kind) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
        if (it->kind == kind) return it->text;
    return {};
}

} // namespace saldorama
