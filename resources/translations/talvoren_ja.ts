<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="ApplicationMessage8">
        <source>TalvorenManual.pdf</source>
        <translation>TalvorenManual_ja.pdf</translation>
    </message>
    <message id="ApplicationMessage25">
        <source>The watch folder "%@" cannot be found, so it is not being watched. Please choose an existing folder in the settings.</source>
        <translation>監視フォルダ「%@」が見つからないため、監視を行いません。設定画面で存在するフォルダを指定してください。</translation>
    </message>
    <message id="ApplicationMessage26">
        <source>The destination folder "%@" cannot be found. Please check that its drive is connected, or choose another destination folder in the settings.</source>
        <translation>保存先フォルダ「%@」が見つかりません。ドライブが接続されているか確認するか、設定画面で別の保存先フォルダを指定してください。</translation>
    </message>
    <message id="ApplicationMessage27">
        <source>Pictures could not be imported.
%@</source>
        <translation>画像を取り込めませんでした。
%@</translation>
    </message>
    <message id="AlertWindow_Title">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="AlertWindow_CloseButton">
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message id="ProgressWindow_Title">
        <source>Importing Pictures</source>
        <translation>画像の取り込み</translation>
    </message>
    <message id="ProgressWindow_MessageLabel">
        <source>Importing pictures from the camera card. Please do not remove the card.</source>
        <translation>カメラのSDカードから画像を取り込んでいます。カードを抜かないでください。</translation>
    </message>
    <message id="CopyResultWindow_Title">
        <source>Import Finished</source>
        <translation>取り込み完了</translation>
    </message>
    <message id="CopyResultWindow_CloseButton">
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message id="CopyResultWindow_MessageLabel">
        <source> file(s) imported from the camera card.</source>
        <translation>件のファイルをSDカードから取り込みました。</translation>
    </message>
    <message id="CopyResultWindow_NoImageMessageLabel">
        <source>The camera card holds no new pictures to import.</source>
        <translation>SDカードに取り込む新しい画像はありませんでした。</translation>
    </message>
    <message id="ReadConfirmWindow_Title">
        <source>Read Settings</source>
        <translation>設定の読み込み</translation>
    </message>
    <message id="ReadConfirmWindow_Message">
        <source>A settings file (TalvorenSetting.xml) was found in the Talvoren folder of your Documents folder. Do you want to read it and replace the current settings?</source>
        <translation>書類フォルダ内のTalvorenフォルダに設定ファイル（TalvorenSetting.xml）があります。読み込んで現在の設定を置き換えますか？</translation>
    </message>
    <message id="ReadConfirmWindow_OkButton">
        <source>Read</source>
        <translation>読み込む</translation>
    </message>
    <message id="ReadConfirmWindow_CancelButton">
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message id="SDCopyConfirmWindow_Title">
        <source>Camera Card Found</source>
        <translation>SDカードの検出</translation>
    </message>
    <message id="SDCopyConfirmWindow_MessageLabel">
        <source>A camera card has been inserted. Do you want to import its pictures now?</source>
        <translation>カメラのSDカードが挿入されました。画像を取り込みますか？</translation>
    </message>
    <message id="SDCopyConfirmWindow_OKButton">
        <source>Import</source>
        <translation>取り込む</translation>
    </message>
    <message id="SDCopyConfirmWindow_CancelButton">
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message id="DuplicateWindow_Title">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="DuplicateWindow_MessageLabel">
        <source>Talvoren is already running. You can reach it from its icon in the system tray.</source>
        <translation>Talvorenはすでに起動しています。システムトレイのアイコンから操作できます。</translation>
    </message>
    <message id="VersionInformationWindow_Title">
        <source>About Talvoren</source>
        <translation>Talvorenについて</translation>
    </message>
    <message id="VersionInformationWindow_ApplicationNameLabel">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="VersionInformationWindow_DetailLabel">
        <source>Picture filing for Lumora intra-oral cameras</source>
        <translation>Lumora 口腔内カメラ用 画像整理ソフトウェア</translation>
    </message>
    <message id="VersionInformationWindow_DescriptionLabel">
        <source>Talvoren files the pictures of your camera into patient folders as soon as they arrive from the watch folder, the Import folder or a camera card.</source>
        <translation>Talvorenは、監視フォルダ・Importフォルダ・SDカードから届いたカメラの画像を、患者ごとのフォルダへ自動で振り分けます。</translation>
    </message>
    <message id="VersionInformationWindow_VersionLabel">
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message id="VersionInformationWindow_CopyrightLabel">
        <source>Copyright © Talvoren. All rights reserved.</source>
        <translation>Copyright © Talvoren. All rights reserved.</translation>
    </message>
    <message id="HelpWindow_Title">
        <source>Talvoren Help</source>
        <translation>Talvoren ヘルプ</translation>
    </message>
    <message id="StatusBarMenu_Preferences">
        <source>Settings…</source>
        <translation>環境設定…</translation>
    </message>
    <message id="StatusBarMenu_ShowDestination">
        <source>Open Destination Folder</source>
        <translation>保存先フォルダを開く</translation>
    </message>
    <message id="StatusBarMenu_ShowDestinationPicture">
        <source>Open Picture Folder</source>
        <translation>画像の保存先フォルダを開く</translation>
    </message>
    <message id="StatusBarMenu_ShowDestinationMovie">
        <source>Open Movie Folder</source>
        <translation>動画の保存先フォルダを開く</translation>
    </message>
    <message id="StatusBarMenu_VersionInformation">
        <source>About Talvoren</source>
        <translation>バージョン情報</translation>
    </message>
    <message id="StatusBarMenu_Help">
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message id="StatusBarMenu_RemoteSupport">
        <source>Remote Support</source>
        <translation>リモートサポート</translation>
    </message>
    <message id="StatusBarMenu_Quit">
        <source>Quit Talvoren</source>
        <translation>Talvorenを終了</translation>
    </message>
    <message id="ApplicationMessage2">
        <source>Please choose the watch folder.</source>
        <translation>監視フォルダを指定してください。</translation>
    </message>
    <message id="ApplicationMessage5">
        <source>Please choose at least one thing to watch: camera cards or a watch folder.</source>
        <translation>カメラのSDカードの監視と監視フォルダの少なくとも一方を選択してください。</translation>
    </message>
    <message id="ApplicationMessage6">
        <source>The destination folder cannot be the watch folder or a folder inside it. Please choose another destination folder.</source>
        <translation>保存先フォルダには監視フォルダやその中のフォルダを指定できません。別の保存先フォルダを指定してください。</translation>
    </message>
    <message id="ApplicationMessage19">
        <source>Talvoren could not check for updates. Please check the network connection and try again later.</source>
        <translation>アップデートを確認できませんでした。ネットワークの接続を確認して、しばらくしてからもう一度お試しください。</translation>
    </message>
    <message id="ApplicationMessage99">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="ConfigWindow_Title">
        <source>Talvoren Settings</source>
        <translation>Talvoren 環境設定</translation>
    </message>
    <message id="ConfigWindow_GeneralBoxTitle">
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message id="ConfigWindow_WatchBoxTitle">
        <source>Watching</source>
        <translation>監視</translation>
    </message>
    <message id="ConfigWindow_DestinationBoxTitle">
        <source>Destination</source>
        <translation>保存先</translation>
    </message>
    <message id="ConfigWindow_AutoStartupButton">
        <source>Start Talvoren when you log in</source>
        <translation>ログイン時にTalvorenを起動する</translation>
    </message>
    <message id="ConfigWindow_WatchRemovableDiskDriveButton">
        <source>Import from camera cards (removable disks)</source>
        <translation>カメラのSDカード（リムーバブルディスク）から取り込む</translation>
    </message>
    <message id="ConfigWindow_NoticeLabel">
        <source>When a camera card is inserted:</source>
        <translation>SDカードを挿入したとき：</translation>
    </message>
    <message id="ConfigWindow_ConfirmBeforeSending">
        <source>Ask before importing</source>
        <translation>取り込む前に確認する</translation>
    </message>
    <message id="ConfigWindow_AutoSending">
        <source>Import automatically</source>
        <translation>自動的に取り込む</translation>
    </message>
    <message id="ConfigWindow_EjectRemovableDeviceButton">
        <source>Eject the card after importing</source>
        <translation>取り込み後にSDカードを取り出す</translation>
    </message>
    <message id="ConfigWindow_AutoEjectRemovableDeviceLabel">
        <source>The card is ejected as soon as all of its pictures have been imported.</source>
        <translation>すべての画像を取り込むと、SDカードを自動的に取り出します。</translation>
    </message>
    <message id="ConfigWindow_WatchFolderButton">
        <source>Watch this folder for new pictures:</source>
        <translation>次のフォルダを監視する：</translation>
    </message>
    <message id="ConfigWindow_WatchFolderTextButton">
        <source>Choose…</source>
        <translation>選択…</translation>
    </message>
    <message id="ConfigWindow_DestinationTextFieldButton">
        <source>Choose…</source>
        <translation>選択…</translation>
    </message>
    <message id="ConfigWindow_ExportOtherDestinationMOVImageButton">
        <source>Send movies to a separate folder:</source>
        <translation>動画を別のフォルダに保存する：</translation>
    </message>
    <message id="ConfigWindow_DestinationMOVTextButton">
        <source>Choose…</source>
        <translation>選択…</translation>
    </message>
    <message id="ConfigWindow_DeleteOriginalImageButton">
        <source>Delete the original pictures after importing</source>
        <translation>取り込み後に元の画像を削除する</translation>
    </message>
    <message id="ConfigWindow_DeleteOriginalImageLabel">
        <source>Pictures on camera cards and in the watch folder are removed once they have been filed.</source>
        <translation>SDカードと監視フォルダの画像は、保存先に振り分けた後で削除されます。</translation>
    </message>
    <message id="ConfigWindow_DontSendPatientInformationImageButton">
        <source>Do not file pictures of the patient information screen</source>
        <translation>患者情報画面の画像を保存しない</translation>
    </message>
    <message id="ConfigWindow_SaveDayFolder">
        <source>Make a folder for each day inside the patient folder</source>
        <translation>患者フォルダの中に日付ごとのフォルダを作る</translation>
    </message>
    <message id="ConfigWindow_DateFormatLabel">
        <source>Folder name:</source>
        <translation>フォルダ名：</translation>
    </message>
    <message id="ConfigWindow_OKButton">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="ConfigWindow_CancelButton">
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message id="ConfigWindow_ApplyButton">
        <source>Apply</source>
        <translation>適用</translation>
    </message>
    <message id="ConfigWindow_DetailConfigButton">
        <source>Details…</source>
        <translation>詳細設定…</translation>
    </message>
    <message id="ConfigWindow_ExportSettingFileFailed">
        <source>The settings could not be exported to "%@". A file of that name may already exist there: please choose another name or folder.</source>
        <translation>設定を「%@」に書き出せませんでした。同じ名前のファイルがすでにある可能性があります。別の名前かフォルダを指定してください。</translation>
    </message>
    <message id="DetailConfigWindow_ExportSettingFileButton">
        <source>Export Settings…</source>
        <translation>設定を書き出す…</translation>
    </message>
    <message id="DetailConfigWindow_Title">
        <source>Detail Settings</source>
        <translation>詳細設定</translation>
    </message>
    <message id="DetailConfigWindow_XMLExportTitle">
        <source>Write an XML file with the picture information beside each picture</source>
        <translation>画像ごとに画像情報のXMLファイルを書き出す</translation>
    </message>
    <message id="DetailConfigWindow_ZeroPaddingTitle">
        <source>Fill patient IDs with leading zeros</source>
        <translation>患者IDの先頭をゼロで埋める</translation>
    </message>
    <message id="DetailConfigWindow_ZeroPaddingLengthLabel">
        <source>Number of digits:</source>
        <translation>桁数：</translation>
    </message>
    <message id="DetailConfigWindow_SerialNoTitle">
        <source>Make a folder for each camera (by serial number)</source>
        <translation>カメラごと（シリアル番号）のフォルダを作る</translation>
    </message>
    <message id="DetailConfigWindow_ChopCountTitle">
        <source>Group patient folders by thousands of patient IDs</source>
        <translation>患者フォルダを患者ID 1000件ごとにまとめる</translation>
    </message>
    <message id="DetailConfigWindow_PatientIDNoticeMessage">
        <source>Only patient IDs made of digits are grouped.</source>
        <translation>まとめるのは数字だけの患者IDです。</translation>
    </message>
    <message id="DetailConfigWindow_DontAddPatientNameTitle">
        <source>Name patient folders by the ID only, without the patient name</source>
        <translation>患者フォルダ名に患者名を付けない（IDのみ）</translation>
    </message>
    <message id="DetailConfigWindow_dontSendMIFTitle">
        <source>File only the movie of a movie picture, not its MIF picture</source>
        <translation>動画はMIF画像を保存せず、動画だけを保存する</translation>
    </message>
    <message id="DetailConfigWindow_NoticeMessage">
        <source>Changes apply to pictures imported from now on; pictures already filed stay where they are.</source>
        <translation>変更はこれから取り込む画像に適用されます。保存済みの画像は移動しません。</translation>
    </message>
    <message id="DetailConfigWindow_ActivateAvoidMultipleImportCheck">
        <source>Skip pictures that have been imported before</source>
        <translation>取り込み済みの画像は取り込まない</translation>
    </message>
    <message id="DetailConfigWindow_NotSendingImageButton">
        <source>Do not file pictures without a patient ID</source>
        <translation>患者IDのない画像を保存しない</translation>
    </message>
    <message id="DetailConfigWindow_DeleteExifPersonalInfoButton">
        <source>Remove personal information from the filed copies</source>
        <translation>保存する画像から個人情報を削除する</translation>
    </message>
    <message id="DetailConfigWindow_MoveToTrashButton">
        <source>Move deleted originals to the Trash</source>
        <translation>削除する元の画像をゴミ箱に入れる</translation>
    </message>
    <message id="DetailConfigWindow_CloseButton">
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message id="UpdateCheckWindow_Title">
        <source>Software Update</source>
        <translation>ソフトウェア・アップデート</translation>
    </message>
    <message id="UpdateCheckWindow_ApplicationNameLabel">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="UpdateCheckWindow_Message1">
        <source>A new version of Talvoren is available:</source>
        <translation>Talvorenの新しいバージョンがあります：</translation>
    </message>
    <message id="UpdateCheckWindow_Message2">
        <source>Click the address to open the download page.</source>
        <translation>アドレスをクリックするとダウンロードページが開きます。</translation>
    </message>
    <message id="UpdateCheckWindow_Message3">
        <source>Talvoren is up to date.</source>
        <translation>お使いのTalvorenは最新です。</translation>
    </message>
    <message id="UpdateCheckWindow_CloseButton">
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message id="InformationCheckWindow_Title">
        <source>Information</source>
        <translation>お知らせ</translation>
    </message>
    <message id="InformationCheckWindow_AfterButton">
        <source>Later</source>
        <translation>後で</translation>
    </message>
    <message id="InformationCheckWindow_OKButton">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="StatusBarMenu_UpdateCheck">
        <source>Check for Updates…</source>
        <translation>アップデートを確認…</translation>
    </message>
    <message id="ConfigWindow_SettingRefused">
        <source>These settings cannot be saved.
%@</source>
        <translation>この設定は保存できません。
%@</translation>
    </message>
    <message id="ReadConfirmWindow_ImportFailed">
        <source>The settings file was not imported.
%@</source>
        <translation>設定ファイルをインポートしませんでした。
%@</translation>
    </message>
    <message id="ApplicationMessage_SettingsProblem">
        <source>Talvoren imports no pictures until this is put right.
%@</source>
        <translation>次の問題が解決されるまで画像を取り込みません。
%@</translation>
    </message>
    <message id="StatusBarMenu_RecentImports">
        <source>Recent Imports…</source>
        <translation>最近の取り込み…</translation>
    </message>
    <message id="CardPreview_Reading">
        <source>Reading the card…</source>
        <translation>カードを読み込んでいます…</translation>
    </message>
    <message id="CardPreview_Summary">
        <source>Card %@: %@ picture(s), %@ new.</source>
        <translation>カード %@：写真 %@ 枚、うち新しい写真 %@ 枚。</translation>
    </message>
    <message id="CardPreview_PatientColumn">
        <source>Patient folder</source>
        <translation>患者フォルダ</translation>
    </message>
    <message id="CardPreview_CountColumn">
        <source>Pictures</source>
        <translation>枚数</translation>
    </message>
    <message id="CardPreview_ReasonColumn">
        <source>Folder or reason</source>
        <translation>フォルダまたは理由</translation>
    </message>
    <message id="CardPreview_ApartLabel">
        <source>Without patient ID, or not filed:</source>
        <translation>患者IDのない写真、取り込まれない写真：</translation>
    </message>
    <message id="CardPreview_StillWritten">
        <source>Still being written (left for later)</source>
        <translation>書き込み中（次回に取り込み）</translation>
    </message>
    <message id="CardPreview_NotCameraPicture">
        <source>Not from an accepted camera</source>
        <translation>対応カメラの写真ではありません</translation>
    </message>
    <message id="CardPreview_NoDateTime">
        <source>No usable shooting date</source>
        <translation>撮影日時がありません</translation>
    </message>
    <message id="CardPreview_NotSent">
        <source>No patient ID (not filed)</source>
        <translation>患者IDなし（取り込みません）</translation>
    </message>
    <message id="CardPreview_DuplicateInRun">
        <source>Same picture twice on the card</source>
        <translation>カード内の同じ写真</translation>
    </message>
    <message id="CardPreview_AlreadyImported">
        <source>Already imported</source>
        <translation>取り込み済み</translation>
    </message>
    <message id="CardPreview_RecordOnly">
        <source>Patient-information picture (recorded only)</source>
        <translation>患者情報の写真（記録のみ）</translation>
    </message>
    <message id="CopyResultWindow_OpenFolderButton">
        <source>Open Folder</source>
        <translation>フォルダを開く</translation>
    </message>
    <message id="RecentImportsWindow_Title">
        <source>Recent Imports</source>
        <translation>最近の取り込み</translation>
    </message>
    <message id="RecentImportsWindow_FilterLabel">
        <source>Patient:</source>
        <translation>患者：</translation>
    </message>
    <message id="RecentImportsWindow_FilterPlaceholder">
        <source>Patient ID or name</source>
        <translation>患者IDまたは氏名</translation>
    </message>
    <message id="RecentImportsWindow_PictureColumn">
        <source>Picture</source>
        <translation>写真</translation>
    </message>
    <message id="RecentImportsWindow_TimeColumn">
        <source>Imported</source>
        <translation>取り込み日時</translation>
    </message>
    <message id="RecentImportsWindow_FolderColumn">
        <source>Patient folder</source>
        <translation>患者フォルダ</translation>
    </message>
    <message id="RecentImportsWindow_NameColumn">
        <source>File name</source>
        <translation>ファイル名</translation>
    </message>
    <message id="RecentImportsWindow_OriginalColumn">
        <source>Original name</source>
        <translation>元のファイル名</translation>
    </message>
    <message id="RecentImportsWindow_PresentColumn">
        <source>On disk</source>
        <translation>保存先</translation>
    </message>
    <message id="RecentImportsWindow_Present">
        <source>Yes</source>
        <translation>あり</translation>
    </message>
    <message id="RecentImportsWindow_Missing">
        <source>Missing</source>
        <translation>なし</translation>
    </message>
    <message id="RecentImportsWindow_Count">
        <source>%@ picture(s), newest first. Double-click a row to open its folder.</source>
        <translation>写真 %@ 枚（新しい順）。行をダブルクリックするとフォルダを開きます。</translation>
    </message>
</context>
</TS>
