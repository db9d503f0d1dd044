#ifndef QUILO_FRAMEWORK_DIALOGEX_H
#define QUILO_FRAMEWORK_DIALOGEX_H

// A modal dialog made from a dialog template resource, with the framework's
// modal loop: the dialog is created hidden, and the loop shows it once its
// message queue is empty for the first time, unless the dialog ended or a quit
// request ended the loop before that. IDOK and IDCANCEL end the dialog.

#include "framework/Wnd.h"

class CDialogEx : public CWnd {
public:
    explicit CDialogEx(UINT templateId, CWnd* parent = nullptr);
    ~CDialogEx() override;

    // Creates the dialog and runs it until it ends; -1 when it cannot be created
    // (and also when a quit request ended it: CreationFailed tells the two apart).
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    // Whether the last DoModal could not create the dialog, and the system's reason.
    bool CreationFailed() const { return creationFailed_; }
    DWORD CreationError() const { return creationError_; }

    // The reason kept for a dialog that could not be created. Creation can fail
    // without the system setting any (a window procedure that refuses
    // WM_NCCREATE or WM_CREATE, a control that cannot be made): success is
    // then no reason to give the user, and "the cause is unknown" is the truth.
    static DWORD CreationFailureReason(DWORD lastError) {
        return lastError != ERROR_SUCCESS ? lastError : ERROR_UNIDENTIFIED_ERROR;
    }

    // Whether the modal loop shows a hidden dialog when the queue runs empty.
    // Exposed as a pure function so the rule can be tested without a window.
    static bool ShouldShowOnIdle(bool visibleWhenLoopBegan, bool alreadyShown) {
        return !visibleWhenLoopBegan && !alreadyShown;
    }

protected:
    // The base initialisation binds the controls (DoDataExchange) and hands the
    // controls their initialisation data from the template's RT_DLGINIT resource.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT templateId_;
    CWnd* parent_;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    void ExecuteDlgInit();
    void CenterIfUnmoved(const RECT& createdRect);

    bool continueModal_ = false;
    INT_PTR modalResult_ = -1;
    bool creationFailed_ = false;
    DWORD creationError_ = ERROR_SUCCESS;
};

#endif
