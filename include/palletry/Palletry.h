#pragma once

#include <palletry/HomeDelieveryUDT.h>
#include <palletry/palletry_export.h>

#include <QImage>
#include <QPageSize>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <memory>

/**
 * The load-assembly control. A host embeds it on one of its windows, tells it
 * who works on the load (SetPersonInformation) and which load to open
 * (LoadData); from then on the receiving clerk works in the control's three tabs.
 *
 * How actions run. A clerk's click (or openLoad()) starts an action and
 * returns; the action sends its requests one after another and goes on with
 * each answer on the user-interface thread, from the event loop: nothing waits
 * on the stack, so the host's windows repaint, take input and run their timers
 * throughout. Messages to the clerk are steps of the action too: a box is
 * opened (window-modal) and the action goes on once the clerk answered it.
 * busy is true from an action's first step to its last; wait for busyChanged(false)
 * (a test: until busy() is false). Meanwhile the control takes no input; after
 * about half a second of a call it shows what it is waiting for ("Reading the
 * vendors…" and the seconds so far) with a Cancel button (Escape does the same).
 * A cancelled call is reported like a failed one (number 18, "The clerk
 * cancelled the call of …"); a save or a removal then makes no further write, its
 * report names the writes the service had already confirmed, and the screen is
 * read again. A host that calls LoadData, openLoad, ReturnWebserviceXML,
 * SetPersonInformation, setCurrentSegmentNumber, ShrinkForm or
 * HandleVendorDetailsDelay while an action is under way (from a timer, or from a
 * slot on one of the control's own signals) gets a report numbered 10 instead,
 * and nothing is sent or changed.
 *
 * Safe to embed: the control, its parent or its window may be deleted, closed
 * or deleteLater()ed at any moment, from any slot, the control's own signals
 * included, and the application may quit at any moment. The action under way is
 * then dropped where it stands: a request already on the wire is abandoned and
 * its answer never read, nothing further is sent, nobody is told. Every signal
 * the control emits during an action comes from the event loop with none of the
 * action's frames on the stack. LoadData and ReturnWebserviceXML keep their
 * blocking contract for the hosts written against them: they return once their
 * action has ended (or at once, without touching the control, if it was
 * destroyed meanwhile).
 *
 * Failures are shown to the clerk in a modal box titled "prjPalletry" and written
 * to the event log: syslog (ident "prjPalletry") unless a file is chosen with
 * setEventLogFile() or the environment variable PALLETRY_EVENT_LOG=PATH. When
 * the system log cannot be reached (no /dev/log, as in most containers) or the
 * file cannot be written, each report goes to standard error instead, once.
 *
 * Every public member is Q_INVOKABLE, so script bridges, QML hosts and test tools
 * can call it by name through QMetaObject::invokeMethod.
 *
 * The host hears what happened through its signals: loadOpened, loadChanged,
 * errorReported, messageShown, busyChanged and currentSegmentNumberChanged, each
 * emitted after the screen has been updated, and one …Changed signal per
 * property. Some names (LoadData, HomeDelieveryUDT, ptServerName, CurrentSegmentNumber)
 * read unlike Qt's: they are the original control's, kept for the hosts written against it. Every text the
 * clerk reads goes through Qt's translation system with the English text as its
 * source; the library carries a Spanish translation as the resource
 * ":/palletry/i18n/palletry_es.qm" (installed or removed at any time, the
 * control re-translates itself). Texts sent to the service or written to the
 * event log are never translated.
 */
class PALLETRY_EXPORT Palletry : public QWidget
{
    Q_OBJECT
    /**
     * Segment under which the orders being saved are placed on the load; 0 = none
     * chosen yet. currentSegmentNumberChanged tells every change, whether the
     * host set it or the clerk's work did (taking up an order, a save).
     *
     * Writing it does not choose where a save writes: a save always writes under
     * the segment the service holds the order under on this load, read back at the
     * save (registering the order first when the service holds it under none and
     * the value is 0). A non-zero value for an order the service holds under no
     * segment of this load refuses the save, with a report that says whether the
     * segment was the service's (the order was taken off the load meanwhile) or
     * came from elsewhere (the host's); nothing is written.
     */
    Q_PROPERTY(qint16 CurrentSegmentNumber READ CurrentSegmentNumber WRITE setCurrentSegmentNumber NOTIFY
                   currentSegmentNumberChanged)
    /**
     * Scanner-friendly entry, off by default. When on, Enter (Return or keypad
     * Enter) goes on to the next step: in "Find P.O." it runs "Find", in "Add to
     * Selected P O:" it presses "Add P O", in a carton field it moves to the unit
     * weight, in a unit-weight field it presses that panel's "Save" (each button
     * only while available and in view), in the vendor list it presses "View
     * Details", in a line-item grid it takes up the current line and moves to its
     * entry. While on, Enter in these fields, lists and grids ends in the control:
     * it never reaches the host's default button. And the focus goes where the
     * next scan goes: the vendor list once a load is open (and back on the first
     * tab), the open orders after "View Details", "Add to Selected P O:" after
     * "View All" and after each save of a PO added by hand, the carton field (or,
     * when that is locked or filled, the unit weight) once a line item is taken
     * up, the line-item grid after a save of the vendor details. When off, Enter
     * does nothing in these fields, the vendor list and the grids and goes on to
     * the host as in any other widget, and the focus stays where the clerk put it.
     */
    Q_PROPERTY(bool scannerEntry READ scannerEntry WRITE setScannerEntry NOTIFY scannerEntryChanged)
    /**
     * True (the default): every message to the clerk is a modal box, as it
     * always was. False: no box is shown and nothing waits for the clerk; the
     * host shows messageShown's texts its own way.
     */
    Q_PROPERTY(bool messageBoxes READ messageBoxes WRITE setMessageBoxes NOTIFY messageBoxesChanged)
    /**
     * True exactly while an action is under way (opening a load, a clerk's
     * click, a blocking member's call), from its first step to its last, its
     * messages included. The way for a host, or a test, to wait for the control.
     */
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    /**
     * Milliseconds allowed to connect to the service (default 15000), and for a
     * whole call, reply included (default 120000). A call that meets either
     * limit fails with libcurl's error 28. A value below 1 is reported and not taken.
     */
    Q_PROPERTY(int connectTimeout READ connectTimeout WRITE setConnectTimeout NOTIFY connectTimeoutChanged)
    Q_PROPERTY(int callTimeout READ callTimeout WRITE setCallTimeout NOTIFY callTimeoutChanged)
    /**
     * A file of trusted certificate authorities (PEM) for https addresses,
     * instead of the system's; empty (the default): the system's.
     */
    Q_PROPERTY(QString certificateAuthorities READ certificateAuthorities WRITE setCertificateAuthorities NOTIFY
                   certificateAuthoritiesChanged)
    /**
     * The proxy for every call, in libcurl's form (e.g. "http://proxy.example:3128");
     * empty (the default): libcurl's environment variables (http_proxy,
     * https_proxy, no_proxy) decide, as for any libcurl program.
     */
    Q_PROPERTY(QString proxy READ proxy WRITE setProxy NOTIFY proxyChanged)
    /**
     * The load manifest's paper (saveLoadManifestPdf, loadManifestPage, and the
     * print dialog's to start with), with half-inch margins. By default the paper
     * of the control's locale (QWidget::locale(), the system's unless the host sets
     * another): Letter in the United States, Canada, Mexico and the other countries
     * whose offices use it, A4 elsewhere. Setting a valid size fixes it; resetting
     * it, or setting an invalid QPageSize, goes back to the locale's.
     */
    Q_PROPERTY(QPageSize manifestPageSize READ manifestPageSize WRITE setManifestPageSize RESET
                   resetManifestPageSize NOTIFY manifestPageSizeChanged)
    /// The load id of the load last opened (0 before any); read-only, set by LoadData and openLoad.
    Q_PROPERTY(qint32 loadId READ loadId NOTIFY loadOpened)
    /// The server text the load was last opened with, as given (empty before any).
    Q_PROPERTY(QString serverName READ serverName NOTIFY loadOpened)

public:
    /**
     * Which numbering the number of an error report belongs to: libcurl's result
     * codes (Transfer: 7 could not connect, 28 time-out, 63 reply too large), the
     * reply's HTTP status (HttpStatus: a status outside 2xx, or a 2xx reply that
     * is not XML or not the operation's response), the HTTP status of a SOAP fault
     * (SoapFault; the description is the fault string), or the control's own
     * run-time numbers (RunTime: 5 invalid call or refused value, 6 overflow,
     * 7 out of memory, 9 subscript out of range, 10 busy with another call,
     * 13 type mismatch, 18 cancelled by the clerk, 75 a file that cannot be
     * written, 91 object not set). The same
     * number can mean different things in two kinds: 7 is "could not connect" as
     * Transfer and "out of memory" as RunTime.
     */
    enum class ErrorKind { Transfer, HttpStatus, SoapFault, RunTime };
    Q_ENUM(ErrorKind)

    /**
     * What a message to the clerk is (messageShown): an error report, a
     * validation message (a field left blank or not a number, no PO typed, no
     * order chosen), a PO not found, or a success. The box's icon stays the
     * original's (error reports carry the information icon), so tell them apart by this.
     */
    enum class MessageKind { Error, Validation, NotFound, Success };
    Q_ENUM(MessageKind)

    /**
     * Builds the control's three tabs empty, on the first tab; nothing is sent
     * until LoadData. Give the control to a window (@p parent or a layout) as any
     * widget.
     */
    explicit Palletry(QWidget* parent = nullptr);
    /**
     * Drops the control with whatever it shows; nothing unsaved is sent. During a
     * call delete it with deleteLater(), which waits until the call has ended.
     */
    ~Palletry() override;

    /**
     * Opens load @p lLoadID held by the service on @p ptServerName (scheme and
     * server, e.g. "http://loads.example"). The service is reached at
     * ptServerName + "/WebServices/KLTVWebservice/KLTVWebservice.asmx"; a text that
     * already ends with that path is taken as the service's full address.
     *
     * Starts the same action as openLoad() and returns once it has ended (its
     * loadOpened emitted), or at once when the control was destroyed meanwhile;
     * while it waits, the host's events run. Fetches the load header, the vendor
     * master list and the orders on the load (three calls), fills the first tab and the load list, and sorts the
     * vendors by name (a repeated call acts as a second click on that header, so
     * it reverses the order). Whatever a previous load showed is cleared first and
     * the screen returns to the first tab. A load id outside -32768..32767 cannot
     * be sent: it is reported and nothing changes. A failed call is reported once
     * and leaves its part of the screen empty.
     */
    Q_INVOKABLE void LoadData(const QString& ptServerName, qint32 lLoadID);

    /**
     * Starts opening a load exactly as LoadData does and returns at once; its
     * end is loadOpened (emitted once busy is false again).
     */
    Q_INVOKABLE void openLoad(const QString& ptServerName, qint32 lLoadID);

    /// True while an action is under way (see the busy property).
    bool busy() const;
    /// The load id last given to LoadData or openLoad (see the property loadId).
    qint32 loadId() const;
    /// The server text last given to LoadData or openLoad (see the property serverName).
    QString serverName() const;

    /// Does nothing: every save happens through the control's own buttons.
    Q_INVOKABLE void SaveData();

    /**
     * Stores who works on the load; the values are sent with every saved line item.
     * Nothing is checked here, but AddPODetails carries the person id as a 16-bit
     * number: a @p PersonIDPassed that is not a whole number from -32768 to 32767
     * makes every save fail, reported at the save ("Type mismatch: the person id
     * '…' given with SetPersonInformation is …", number 13) with nothing written.
     */
    Q_INVOKABLE void SetPersonInformation(const QString& PersonIDPassed, const QString& PersonTypeIDPassed);

    /// Sets the tab strip and the control to their compact height (4815 twips).
    Q_INVOKABLE void ShrinkForm();

    /// Makes "View All" available and returns a null object.
    Q_INVOKABLE QObject* HandleVendorDetailsDelay();

    /**
     * Calls the web service once and returns its reply without the SOAP envelope.
     *
     * Posts @p SOAPEnvelope (as the XML serialiser re-writes it) to @p AsmxUrl with the
     * SOAP action @p SOAPAction, blocking until the reply is in. The Host header is
     * derived from @p AsmxUrl; @p Host is accepted for compatibility and not sent.
     * For a read call (@p UpdateAddDeleteOnly false) the result is the reply with the
     * envelope, body and XML declaration removed and the escaped result text turned
     * back into markup; the operation's response and result tags remain. A write call
     * (@p UpdateAddDeleteOnly true) returns the empty text.
     *
     * Failures are reported once, under "ReturnWebserviceXML", and give no result:
     * - an address that is not http or https or that holds a user name or password:
     *   number 5 (RunTime), nothing is sent;
     * - the server cannot be reached, a time-out, a reply over 64 MiB: libcurl's
     *   error number and text (Transfer), source "libcurl";
     * - a status outside 2xx, or a SOAP fault: the HTTP status as number, the
     *   status line or the fault string as description (HttpStatus, SoapFault),
     *   the address as source;
     * - a reply, read or write alike, that is not XML or whose SOAP body does not
     *   start with the operation's \<Operation\>Response element in the namespace the
     *   SOAP action names: the HTTP status, "<status line>: the reply is not XML"
     *   or "…: the reply holds no \<Operation\>Response" (HttpStatus);
     * - a call the clerk cancelled: number 18 (RunTime), "The clerk cancelled the
     *   call of \<Operation\> before the service answered", within a save or a
     *   removal followed by the writes the service had already confirmed; that
     *   action then sends no further write;
     * - a call while another is in flight: number 10 (RunTime), nothing is sent.
     * Text from the network is cut to 2,000 characters, the cut marked "…".
     * The time-outs are connectTimeout and callTimeout. Each failure also goes to
     * the event log and errorReported; the result is then the empty text.
     */
    Q_INVOKABLE QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                            const QString& SOAPEnvelope, bool UpdateAddDeleteOnly = false);

    /// The segment orders being saved go under (the property CurrentSegmentNumber); 0 = none yet.
    qint16 CurrentSegmentNumber() const;
    /// Sets the segment the next save uses; currentSegmentNumberChanged tells when it changes.
    void setCurrentSegmentNumber(qint16 value);

    /**
     * Sends event-log entries to the file @p path (appended) instead of syslog;
     * an empty path returns to syslog. Each entry in the file is preceded by a
     * header line "=== prjPalletry <type> <UTC time> <bytes> ===" giving the entry's size
     * in bytes of UTF-8, so entries read back exactly.
     */
    Q_INVOKABLE void setEventLogFile(const QString& path);

    /// Whether Enter presses the entry field's button (the property scannerEntry); off by default.
    bool scannerEntry() const;
    /// Switches scanner-friendly entry on or off; scannerEntryChanged tells when it changes.
    void setScannerEntry(bool on);

    /// Whether the clerk's messages are modal boxes (the property messageBoxes); true by default.
    bool messageBoxes() const;
    /// False: no box is shown and nothing waits for the clerk; messageShown still tells every message.
    void setMessageBoxes(bool on);

    /**
     * The orders on the open load with the segment under which each stands, as
     * the service last reported them (after LoadData, a save, a removal); empty
     * before a load is open.
     */
    Q_INVOKABLE QList<HomeDelieveryUDT> ordersOnLoad() const;

    /// Milliseconds allowed to connect to the service (the property connectTimeout); 15000 by default.
    int connectTimeout() const;
    /// Sets the time to connect for the calls from now on; a value below 1 is reported and not taken.
    void setConnectTimeout(int milliseconds);
    /**
     * @property callTimeout
     * Milliseconds allowed for a whole call, reply included (default 120000). A
     * call that meets it fails with libcurl's error 28. A value below 1 is
     * reported and not taken.
     */
    /// Milliseconds allowed for a whole call (the property callTimeout); 120000 by default.
    int callTimeout() const;
    /// Sets the time for a whole call from now on; a value below 1 is reported and not taken.
    void setCallTimeout(int milliseconds);
    /// The PEM file of trusted authorities for https (the property certificateAuthorities); empty: the system's.
    QString certificateAuthorities() const;
    /// Trusts the authorities in the PEM file @p path for https from now on; empty: the system's.
    void setCertificateAuthorities(const QString& path);
    /// The proxy for every call (the property proxy); empty: libcurl's environment variables decide.
    QString proxy() const;
    /// Sends every call from now on through @p proxy, in libcurl's form; empty: the environment decides.
    void setProxy(const QString& proxy);
    /// The manifest's paper: the one set, else the locale's (see the property manifestPageSize).
    QPageSize manifestPageSize() const;
    /// Prints the manifest on @p size paper from now on; an invalid size goes back to the locale's.
    void setManifestPageSize(const QPageSize& size);
    /// The manifest follows the control's locale again.
    void resetManifestPageSize();

    /*
     * The load on paper and in a spreadsheet. Each reads the orders on the load as
     * "All Selected POs" lists them (what the clerk sees), with the load header and
     * the vendor names the first tab shows; none asks the service anything. The
     * load list's context menu offers the same as "Export load…" and "Print
     * manifest…"; every list and grid has "Copy" (and Ctrl+C), which puts the
     * highlighted rows (all rows when none is) under their headings on the
     * clipboard as tab-separated text.
     */

    /// The orders on the load.
    Q_INVOKABLE int ordersOnLoadCount() const;
    /// Their cartons added up; -1 when an order's carton count is no number.
    Q_INVOKABLE int cartonsOnLoadCount() const;

    /**
     * Writes the orders on the load to @p path as CSV (RFC 4180: commas, CRLF, quotes
     * doubled, UTF-8 with a byte-order mark): the heading line "PO,Vendor ID,Vendor
     * Name,Member ID,Center ID,Center Name,Freight Group,Postal Code,Segment,Cartons",
     * then one row per order in the list's order. A value that begins with a tab or a
     * carriage return, or whose first character after white space (spaces, tabs, U+00A0,
     * U+200B, U+FEFF and the other Unicode spaces) is "=", "+", "-", "@" or a full-width
     * "＝", "＋", "－", "＠", is written with a leading "'", so that no spreadsheet runs it
     * as a formula; Copy does the same. Genuine negative numbers ("-12") keep the "'"
     * too: the sheet shows them as text. The file is written to a temporary file, every
     * write checked, and renamed into place: a failure (a full disk, a file size limit)
     * is reported (as every failure is) and leaves no file, or the earlier one as it
     * was. Returns true when the file was written.
     */
    Q_INVOKABLE bool exportLoadCsv(const QString& path);

    /**
     * Saves the load manifest as a PDF on manifestPageSize paper: the load header (load id,
     * truck, date, carrier), the orders grouped by vendor with their cartons and a
     * subtotal per vendor, the totals (orders, vendors, cartons), who worked the load
     * (SetPersonInformation), the time printed and lines for the driver's and the
     * clerk's signatures. Every page carries the load id, truck, date and carrier
     * and "Page n of m"; pages
     * break between vendors where they can. Written whole or not at all; an order
     * whose carton count is no number, or a file that cannot be written, is
     * reported and gives false.
     */
    Q_INVOKABLE bool saveLoadManifestPdf(const QString& path);

    /**
     * Page @p page (from 1) of that manifest as an image, e.g. for a preview; a null image
     * when there is none. @p dotsPerInch runs from 1 to 600 (a Letter page at 600 dpi is
     * 5100×6600 pixels, about 135 MB): any other is refused with a report (error 5) and a
     * null image.
     */
    Q_INVOKABLE QImage loadManifestPage(int page, int dotsPerInch = 96);

    /// The screen's design width, at the height the current tab needs.
    QSize sizeHint() const override;

    /// The control's parts and fields, hidden from hosts: the library's own business.
    class Private;

signals:
    /**
     * At the end of every LoadData or openLoad, once the screen shows what could be
     * read and busy is false again (a host may start the next action from here).
     * @p loadId is the id LoadData was given; @p complete is false when anything
     * in it failed (a service call, a load id out of range, a list that could not
     * be filled): each such failure has been reported through errorReported.
     */
    void loadOpened(qint32 loadId, bool complete);

    /// busy changed; false once an action's last step is done (then loadOpened or loadChanged follow).
    void busyChanged(bool busy);

    /**
     * After a clerk's action in which the service accepted a write (a line item
     * saved, a PO registered on the load, an order removed), once the action has
     * ended (busy false), so a host can refresh its own views. Emitted once per action.
     */
    void loadChanged();

    /**
     * For every error report, before the clerk's modal box is shown, with the
     * values of its event-log entry: the error's number, its description and the
     * source line (the failing component, one space, and the procedure that
     * trapped it, e.g. "prjPalletry LoadData"), and which numbering the number
     * belongs to (@p kind). A slot taking the first three arguments only works too.
     * The description is the text as received, control characters included (the
     * event log writes them visibly); a host that writes it to a terminal escapes them.
     */
    void errorReported(int number, const QString& description, const QString& source, Palletry::ErrorKind kind);

    /**
     * For every message the control gives the clerk (error reports, validation
     * messages, "not found", success messages), in order, whether boxes are on or
     * off; with boxes on, before the box. @p icon is the QMessageBox::Icon value,
     * @p kind what the message is. A slot taking the first three arguments works too.
     */
    void messageShown(const QString& text, const QString& title, int icon, Palletry::MessageKind kind);

    /**
     * Whenever CurrentSegmentNumber changes to @p segment, whoever changes it: the
     * host, or the clerk's work (taking up an order, a save).
     */
    void currentSegmentNumberChanged(qint16 segment);
    /// Whenever scannerEntry is switched, to @p on.
    void scannerEntryChanged(bool on);
    /// Whenever messageBoxes is switched, to @p on.
    void messageBoxesChanged(bool on);
    /// Whenever connectTimeout takes a new value (a refused one changes nothing).
    void connectTimeoutChanged(int milliseconds);
    /// Whenever callTimeout takes a new value (a refused one changes nothing).
    void callTimeoutChanged(int milliseconds);
    /// Whenever certificateAuthorities names another file.
    void certificateAuthoritiesChanged(const QString& path);
    /// Whenever proxy changes.
    void proxyChanged(const QString& proxy);
    /// Whenever the manifest's paper is set or reset to another size.
    void manifestPageSizeChanged();

protected:
    /// A language change (a translator installed or removed) re-translates every caption and heading.
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Private> const d;
};
