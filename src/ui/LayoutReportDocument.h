// The layout report set as a document: the project's facts, the options, and per layout a picture
// of the keyboard with the names and a table of the programmed keys; printed or written as PDF.
#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class Keyboard;
class QPrinter;
class QTextDocument;

struct ReportFacts
{
    QString fileName; // empty for a project never saved
    QString notes;
    QDateTime date;
};

// The content signature shortened to what a person compares: 16 hex digits of its SHA-256.
QString ShortSignature(Keyboard& keyboard);
// The keyboard's current layout is the same afterwards.
std::unique_ptr<QTextDocument> BuildLayoutReport(Keyboard& keyboard, const ReportFacts& facts);
bool WriteLayoutReportPdf(Keyboard& keyboard, const ReportFacts& facts, const QString& path);
void PrintLayoutReport(QPrinter& printer, Keyboard& keyboard, const ReportFacts& facts);
