// The query controller: the Get button, the answer cache and the completion of lookups.
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "tasks/nomvarathread.h"
#include "ui/nomvaradlg.h"

namespace {
constexpr int QUERY_BUFFER = 50;  // at most 49 characters and the terminating NUL
constexpr const char* WAIT_LINE = "Wait for answer...";
constexpr std::size_t LINES_ANNOUNCED = 3;  // a longer answer is told as these and how many more
}  // namespace

// The list and what it shows go together: once emptied, it shows no lookup.
void CNomvaraDlg::EmptyResponseList() {
    m_shown = {};
    while (m_responseList.GetCount() != 0)
        m_responseList.DeleteString(0);
}

void CNomvaraDlg::ShowAnswers(const StoredLookup& lookup, bool fromMemory) {
    EmptyResponseList();
    for (const CString& line : lookup.request.answers)
        m_responseList.AddString(line);
    m_shown = lookup;
    m_shownFromMemory = fromMemory;
    AnnounceResponse(DescribeShown());
}

// Screen readers hear the list as it now shows: its first lines, how many more, and its description.
void CNomvaraDlg::AnnounceResponse(const std::string& description) {
    std::vector<std::string> lines;
    for (int i = 0; i < m_responseList.GetCount(); ++i)
        lines.push_back(m_responseList.GetText(i).str());
    std::string text = FirstOfMany(lines, LINES_ANNOUNCED);
    if (!text.empty() && !description.empty())
        text += ". ";
    text += description;
    m_responseList.SetDescription(description.c_str());
    m_responseList.Announce(text.c_str());
}

std::string CNomvaraDlg::DescribeShown() const {
    return DescribeLookup(m_shown.request.query, m_shown.report, m_shown.request.answers.size(), m_shownFromMemory);
}

void CNomvaraDlg::OnGet() {
    char query[QUERY_BUFFER];
    m_queryEdit.GetWindowText(query, QUERY_BUFFER);
    m_responseList.Announce("");  // the answer it told is going
    EmptyResponseList();
    m_responseList.AddString(WAIT_LINE);
    m_responseList.SetDescription(DescribeWaiting(query, std::time(nullptr)).c_str());
    if (!ShowCachedAnswers(query) && !StartLookup(query))
        AnnounceResponse(DescribeNotStarted(query));  // the wait line stays
}

BOOL CNomvaraDlg::ShowCachedAnswers(CString query) {
    const StoredLookup* cached = m_answerCache.Find(query);
    if (!cached)
        return FALSE;
    ShowAnswers(*cached, true);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CNomvaraDlg::StartLookup(CString query) {
    const LookupRequest request{LOOKUP_CODE, NextRequestId(m_pendingRequests), {}, this, query};
    m_pendingRequests.InsertIfAbsent(request);
    std::shared_ptr<StoredLookup> stored = m_pendingRequests.Find(request.requestId);
    if (!stored)
        return FALSE;
    // The record and its report are the resolver's from here until its WM_LOOKUP_DONE has been handled.
    auto thread = std::make_unique<CNomvaraThread>(std::move(stored));
    if (!thread->CreateThread(0, 0, nullptr))
        return FALSE;  // the unstarted thread object is freed; the record and the id stay used
    // A started thread deletes itself when it ends.
    thread.release()->StartOnce();
    return TRUE;
}

LRESULT CNomvaraDlg::OnLookupDone(WPARAM, LPARAM lParam) {
    EmptyResponseList();
    const auto requestId = static_cast<std::uint32_t>(lParam);
    const std::shared_ptr<StoredLookup> done = m_pendingRequests.Find(requestId);
    if (!done) {
        AnnounceResponse("");
        return 0;
    }
    ShowAnswers(*done, false);
    m_answerCache.InsertIfAbsent(done->request, done->report);
    m_pendingRequests.Erase(requestId);
    UpdateData(FALSE);
    return 1;
}

// The answer was told when the lookup was done: what changes now is its description, not spoken again.
LRESULT CNomvaraDlg::OnLaterPart(WPARAM wParam, LPARAM lParam) {
    const LaterPart& part = *reinterpret_cast<const LaterPart*>(wParam);
    const auto requestId = static_cast<std::uint32_t>(lParam);
    const bool kept = m_answerCache.ApplyLater(requestId, part);
    if (requestId != m_shown.request.requestId || !(part.query == m_shown.request.query))
        return kept;
    part.ApplyTo(m_shown.report);
    m_responseList.SetDescription(DescribeShown().c_str());
    return 1;
}
