#pragma once
// What a document window tells the frame that holds it: whether the page it shows allows
// deleting an entry and exporting.

class DocumentFrame {
public:
    virtual ~DocumentFrame() = default;
    virtual void SetSup(bool allowed) = 0;
    virtual void SetExport(bool allowed) = 0;
};
