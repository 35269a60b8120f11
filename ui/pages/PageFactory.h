#pragma once
// Makes the container's pages by page id.

class CPageDlg;
class QWidget;

CPageDlg* CreateContainerPage(int pageId, QWidget* parent);
