#pragma once
// The window's tabs beside the tool: the maker's two product lists and the protocol reference.

class QWidget;

QWidget *driveProductsTab();
QWidget *controlProductsTab();
QWidget *protocolTab();
