// The query controller: the Get button, the answer cache and the completion of lookups.
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "lookup/firstofmany.h"
#include "tasks/nomvarathread.h"
#include "ui/nomvaradlg.h"

namespace {
constexpr int QUERY_BUFFER = 50;  // at most 49 characters and the terminating NUL
constexpr const char* WAIT_LINE = "Wait for answer...";
constexpr std::size_t LINES_ANNOUNCED = 3;  // a longer answer is told as these and how many more
}  // namespace

void CNomvaraDlg::EmptyResponseList() {
    while (m_responseList.GetCount() != 0)
        m_responseList.DeleteString(0);
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
    return m_shown.fromMemory ? DescribeFromMemory(m_shown.query, m_shown.report, m_shown.lines)
                              : DescribeLookup(m_shown.query, m_shown.report, m_shown.lines);
}

void CNomvaraDlg::OnGet() {
    char query[QUERY_BUFFER];
    m_queryEdit.GetWindowText(query, QUERY_BUFFER);
    m_responseList.Announce("");  // the answer it told is going
    m_shown = {};
    EmptyResponseList();
    m_responseList.AddString(WAIT_LINE);
    m_responseList.SetDescription(DescribeWaiting(query, std::time(nullptr)).c_str());
    if (!ShowCachedAnswers(query) && !StartLookup(query))
        AnnounceResponse(DescribeNotStarted(query));  // the wait line stays
}

BOOL CNomvaraDlg::ShowCachedAnswers(CString query) {
    const StoredLookup* cached = m_answerCache.FindStored(query);
    if (!cached)
        return FALSE;
    EmptyResponseList();
    for (const CString& line : cached->request.answers)
        m_responseList.AddString(line);
    m_shown = {cached->request.requestId, query, cached->request.answers.size(), cached->report, true};
    AnnounceResponse(DescribeShown());
    UpdateData(FALSE);
    return TRUE;
}

BOOL CNomvaraDlg::StartLookup(CString query) {
    LookupRequest request;
    request.code = LOOKUP_CODE;
    request.requestId = NextRequestId(m_pendingRequests);
    request.owner = this;
    request.query = query;
    m_pendingRequests.InsertIfAbsent(request);
    std::shared_ptr<StoredLookup> stored = m_pendingRequests.Lend(request.requestId);
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
    m_shown = {};
    const auto requestId = static_cast<std::uint32_t>(lParam);
    const StoredLookup* done = m_pendingRequests.FindStored(requestId);
    if (!done) {
        AnnounceResponse("");
        return 0;
    }
    for (const CString& line : done->request.answers)
        m_responseList.AddString(line);
    m_shown = {requestId, done->request.query, done->request.answers.size(), done->report, false};
    AnnounceResponse(DescribeShown());
    m_answerCache.InsertIfAbsent(done->request, done->report);
    m_pendingRequests.Erase(requestId);
    UpdateData(FALSE);
    return 1;
}

// The answer was told when the lookup was done: what changes now is its description, not spoken again.
LRESULT CNomvaraDlg::OnIpv6Done(WPARAM wParam, LPARAM) {
    const StoredLookup& lookup = *reinterpret_cast<const StoredLookup*>(wParam);
    const bool kept = m_answerCache.SetIpv6Answer(lookup.request, lookup.report.ipv6);
    if (lookup.request.requestId != m_shown.requestId || !(lookup.request.query == m_shown.query))
        return kept;
    m_shown.report.ipv6 = lookup.report.ipv6;
    m_responseList.SetDescription(DescribeShown().c_str());
    return 1;
}
