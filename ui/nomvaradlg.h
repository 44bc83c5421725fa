// CNomvaraDlg: the main dialog. Its frame lives in ui/, its lookup handlers in ui/querycontroller.cpp.
#pragma once

#include <string>

#include "lookup/lookupreport.h"
#include "lookup/lookuptables.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "ui/bannerstatic.h"
#include "ui/linklabel.h"

class CNomvaraDlg : public CDialog {
public:
    explicit CNomvaraDlg(CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT command, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // The query controller.
    void OnGet();
    BOOL ShowCachedAnswers(CString query);
    BOOL StartLookup(CString query);
    LRESULT OnLookupDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnLaterPart(WPARAM wParam, LPARAM lParam);

    void OnDownload();

    DECLARE_MESSAGE_MAP()

    void ListLocalAddresses();
    void EmptyResponseList();
    // Fills the list with a lookup's answers and tells them.
    void ShowAnswers(const StoredLookup& lookup, bool fromMemory);
    // Describes the list and tells screen readers its answer.
    void AnnounceResponse(const std::string& description);
    // The list's description for the lookup it shows.
    std::string DescribeShown() const;

protected:
    PendingRequests m_pendingRequests;
    AnswerCache m_answerCache;
    CLinkLabel m_productTextLink;
    CLinkLabel m_productNameLink;
    CBannerStatic m_banner;
    CListBox m_responseList;
    CEdit m_queryEdit;
    CString m_localAddresses;
    HICON m_hIcon;
    // The lookup whose answers the list shows (request id 0 while none is), so that a part of it that
    // comes later is told with it.
    StoredLookup m_shown;
    bool m_shownFromMemory = false;
};

// Where the minimised window draws its icon: centred, odd pixels to the right and below.
POINT IconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
