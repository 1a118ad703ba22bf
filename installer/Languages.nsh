; Setup's own texts in each of its languages; NSIS's own texts come from its language
; files, loaded in Vantapicker.nsi. The English texts come first: setup falls back to them.

!macro TEXTS LANG NOT_ADMIN_SETUP NOT_ADMIN_UNINSTALL LOGON_TEXT LOGON_CHECK FINISH_BUTTON FINISHED START_CHECK MOVED_ASIDE CANNOT_WRITE CLOSE_AND_RETRY MAKE_WRITABLE NOT_ENDING_SETUP CANNOT_REGISTER NOT_ENDING_UNINSTALL NOT_UNREGISTERED REBOOT_DETAIL REBOOT_BOX
  LangString NOT_ADMIN_SETUP ${LANG} "${NOT_ADMIN_SETUP}"
  LangString NOT_ADMIN_UNINSTALL ${LANG} "${NOT_ADMIN_UNINSTALL}"
  LangString LOGON_TEXT ${LANG} "${LOGON_TEXT}"
  LangString LOGON_CHECK ${LANG} "${LOGON_CHECK}"
  LangString FINISH_BUTTON ${LANG} "${FINISH_BUTTON}"
  LangString FINISHED ${LANG} "${FINISHED}"
  LangString START_CHECK ${LANG} "${START_CHECK}"
  LangString MOVED_ASIDE ${LANG} "${MOVED_ASIDE}"
  LangString CANNOT_WRITE ${LANG} "${CANNOT_WRITE}"
  LangString CLOSE_AND_RETRY ${LANG} "${CLOSE_AND_RETRY}"
  LangString MAKE_WRITABLE ${LANG} "${MAKE_WRITABLE}"
  LangString NOT_ENDING_SETUP ${LANG} "${NOT_ENDING_SETUP}"
  LangString CANNOT_REGISTER ${LANG} "${CANNOT_REGISTER}"
  LangString NOT_ENDING_UNINSTALL ${LANG} "${NOT_ENDING_UNINSTALL}"
  LangString NOT_UNREGISTERED ${LANG} "${NOT_UNREGISTERED}"
  LangString REBOOT_DETAIL ${LANG} "${REBOOT_DETAIL}"
  LangString REBOOT_BOX ${LANG} "${REBOOT_BOX}"
!macroend

!insertmacro TEXTS ${LANG_ENGLISH} \
  "${PRODUCT} is installed for all users of this computer.$\r$\n$\r$\nRun setup as an administrator." \
  "${PRODUCT} is installed for all users of this computer.$\r$\n$\r$\nRemove it as an administrator." \
  "Vantapicker works from the notification area of the task bar. It can start by itself each time you log on." \
  "&Start Vantapicker when I log on" \
  "&Finish" \
  "Vantapicker is installed. Its icon appears in the notification area of the task bar." \
  "Start Vantapicker" \
  "$R0 is in use by another program: moved aside until the next restart" \
  "Setup cannot write" \
  "Close the programs that use it, or choose another folder, and run setup again." \
  "Make the file writable, and run setup again." \
  "Vantapicker does not end.$\r$\n$\r$\nEnd it from its icon in the notification area, and run setup again." \
  "Setup cannot register Vantapicker (error $0)." \
  "Vantapicker does not end.$\r$\n$\r$\nEnd it from its icon in the notification area, and run the uninstall again." \
  "Vantapicker could not be unregistered (error $1)." \
  "Files still in use by other programs are removed at the next restart." \
  "Some files of ${PRODUCT} are still in use by other programs. Restart Windows to complete the removal."

!insertmacro TEXTS ${LANG_GERMAN} \
  "${PRODUCT} wird für alle Benutzer dieses Computers installiert.$\r$\n$\r$\nFühren Sie Setup als Administrator aus." \
  "${PRODUCT} ist für alle Benutzer dieses Computers installiert.$\r$\n$\r$\nEntfernen Sie es als Administrator." \
  "Vantapicker arbeitet im Infobereich der Taskleiste. Es kann bei jeder Anmeldung automatisch starten." \
  "Vantapicker bei der &Anmeldung starten" \
  "&Fertig stellen" \
  "Vantapicker ist installiert. Sein Symbol erscheint im Infobereich der Taskleiste." \
  "Vantapicker starten" \
  "$R0 wird von einem anderen Programm verwendet: bis zum nächsten Neustart beiseitegelegt" \
  "Schreibzugriff nicht möglich auf" \
  "Schließen Sie die Programme, die darauf zugreifen, oder wählen Sie einen anderen Ordner, und führen Sie Setup erneut aus." \
  "Machen Sie die Datei beschreibbar, und führen Sie Setup erneut aus." \
  "Vantapicker wird nicht beendet.$\r$\n$\r$\nBeenden Sie es über sein Symbol im Infobereich, und führen Sie Setup erneut aus." \
  "Vantapicker kann nicht registriert werden (Fehler $0)." \
  "Vantapicker wird nicht beendet.$\r$\n$\r$\nBeenden Sie es über sein Symbol im Infobereich, und führen Sie die Deinstallation erneut aus." \
  "Die Registrierung von Vantapicker konnte nicht aufgehoben werden (Fehler $1)." \
  "Dateien, die noch von anderen Programmen verwendet werden, werden beim nächsten Neustart entfernt." \
  "Einige Dateien von ${PRODUCT} werden noch von anderen Programmen verwendet. Starten Sie Windows neu, um das Entfernen abzuschließen."

!insertmacro TEXTS ${LANG_FRENCH} \
  "${PRODUCT} s'installe pour tous les utilisateurs de cet ordinateur.$\r$\n$\r$\nExécutez le programme d'installation en tant qu'administrateur." \
  "${PRODUCT} est installé pour tous les utilisateurs de cet ordinateur.$\r$\n$\r$\nDésinstallez-le en tant qu'administrateur." \
  "Vantapicker fonctionne depuis la zone de notification de la barre des tâches. Il peut démarrer automatiquement à chaque ouverture de session." \
  "&Démarrer Vantapicker à l'ouverture de session" \
  "&Terminer" \
  "Vantapicker est installé. Son icône apparaît dans la zone de notification de la barre des tâches." \
  "Démarrer Vantapicker" \
  "$R0 est utilisé par un autre programme : mis de côté jusqu'au prochain redémarrage" \
  "Impossible d'écrire" \
  "Fermez les programmes qui l'utilisent, ou choisissez un autre dossier, puis relancez l'installation." \
  "Rendez le fichier accessible en écriture, puis relancez l'installation." \
  "Vantapicker ne se ferme pas.$\r$\n$\r$\nQuittez-le depuis son icône dans la zone de notification, puis relancez l'installation." \
  "Impossible d'inscrire Vantapicker (erreur $0)." \
  "Vantapicker ne se ferme pas.$\r$\n$\r$\nQuittez-le depuis son icône dans la zone de notification, puis relancez la désinstallation." \
  "Impossible de désinscrire Vantapicker (erreur $1)." \
  "Les fichiers encore utilisés par d'autres programmes seront supprimés au prochain redémarrage." \
  "Certains fichiers de ${PRODUCT} sont encore utilisés par d'autres programmes. Redémarrez Windows pour terminer la suppression."

!insertmacro TEXTS ${LANG_SPANISH} \
  "${PRODUCT} se instala para todos los usuarios de este equipo.$\r$\n$\r$\nEjecute el programa de instalación como administrador." \
  "${PRODUCT} está instalado para todos los usuarios de este equipo.$\r$\n$\r$\nQuítelo como administrador." \
  "Vantapicker funciona desde el área de notificación de la barra de tareas. Puede iniciarse automáticamente cada vez que inicie sesión." \
  "&Iniciar Vantapicker al iniciar sesión" \
  "&Finalizar" \
  "Vantapicker está instalado. Su icono aparece en el área de notificación de la barra de tareas." \
  "Iniciar Vantapicker" \
  "Otro programa está usando $R0: se ha apartado hasta el próximo reinicio" \
  "No se puede escribir en" \
  "Cierre los programas que lo usan, o elija otra carpeta, y vuelva a ejecutar la instalación." \
  "Permita la escritura en el archivo y vuelva a ejecutar la instalación." \
  "Vantapicker no se cierra.$\r$\n$\r$\nCiérrelo desde su icono en el área de notificación y vuelva a ejecutar la instalación." \
  "No se puede registrar Vantapicker (error $0)." \
  "Vantapicker no se cierra.$\r$\n$\r$\nCiérrelo desde su icono en el área de notificación y vuelva a ejecutar la desinstalación." \
  "No se pudo anular el registro de Vantapicker (error $1)." \
  "Los archivos que otros programas todavía usan se quitarán en el próximo reinicio." \
  "Otros programas todavía usan algunos archivos de ${PRODUCT}. Reinicie Windows para completar la desinstalación."

!insertmacro TEXTS ${LANG_ITALIAN} \
  "${PRODUCT} viene installato per tutti gli utenti di questo computer.$\r$\n$\r$\nEseguire l'installazione come amministratore." \
  "${PRODUCT} è installato per tutti gli utenti di questo computer.$\r$\n$\r$\nRimuoverlo come amministratore." \
  "Vantapicker funziona dall'area di notifica della barra delle applicazioni. Può avviarsi automaticamente a ogni accesso." \
  "&Avvia Vantapicker all'accesso" \
  "&Fine" \
  "Vantapicker è installato. La sua icona appare nell'area di notifica della barra delle applicazioni." \
  "Avvia Vantapicker" \
  "$R0 è in uso da parte di un altro programma: spostato fino al prossimo riavvio" \
  "Impossibile scrivere" \
  "Chiudere i programmi che lo usano, oppure scegliere un'altra cartella, ed eseguire di nuovo l'installazione." \
  "Rendere il file scrivibile ed eseguire di nuovo l'installazione." \
  "Vantapicker non si chiude.$\r$\n$\r$\nChiuderlo dalla sua icona nell'area di notifica ed eseguire di nuovo l'installazione." \
  "Impossibile registrare Vantapicker (errore $0)." \
  "Vantapicker non si chiude.$\r$\n$\r$\nChiuderlo dalla sua icona nell'area di notifica ed eseguire di nuovo la disinstallazione." \
  "Impossibile annullare la registrazione di Vantapicker (errore $1)." \
  "I file ancora in uso da parte di altri programmi verranno rimossi al prossimo riavvio." \
  "Alcuni file di ${PRODUCT} sono ancora in uso da parte di altri programmi. Riavviare Windows per completare la rimozione."

!insertmacro TEXTS ${LANG_PORTUGUESEBR} \
  "O ${PRODUCT} é instalado para todos os usuários deste computador.$\r$\n$\r$\nExecute a instalação como administrador." \
  "O ${PRODUCT} está instalado para todos os usuários deste computador.$\r$\n$\r$\nRemova-o como administrador." \
  "O Vantapicker funciona na área de notificação da barra de tarefas. Ele pode ser iniciado automaticamente sempre que você fizer logon." \
  "&Iniciar o Vantapicker quando eu fizer logon" \
  "&Concluir" \
  "O Vantapicker está instalado. O ícone dele aparece na área de notificação da barra de tarefas." \
  "Iniciar o Vantapicker" \
  "$R0 está em uso por outro programa: movido até a próxima reinicialização" \
  "A instalação não pode gravar" \
  "Feche os programas que o usam, ou escolha outra pasta, e execute a instalação novamente." \
  "Permita a gravação no arquivo e execute a instalação novamente." \
  "O Vantapicker não é encerrado.$\r$\n$\r$\nEncerre-o pelo ícone na área de notificação e execute a instalação novamente." \
  "Não é possível registrar o Vantapicker (erro $0)." \
  "O Vantapicker não é encerrado.$\r$\n$\r$\nEncerre-o pelo ícone na área de notificação e execute a desinstalação novamente." \
  "Não foi possível cancelar o registro do Vantapicker (erro $1)." \
  "Os arquivos ainda em uso por outros programas serão removidos na próxima reinicialização." \
  "Alguns arquivos do ${PRODUCT} ainda estão em uso por outros programas. Reinicie o Windows para concluir a remoção."

!insertmacro TEXTS ${LANG_RUSSIAN} \
  "${PRODUCT} устанавливается для всех пользователей этого компьютера.$\r$\n$\r$\nЗапустите установку от имени администратора." \
  "${PRODUCT} установлен для всех пользователей этого компьютера.$\r$\n$\r$\nУдалите его от имени администратора." \
  "Vantapicker работает в области уведомлений панели задач. Он может запускаться автоматически при каждом входе в систему." \
  "&Запускать Vantapicker при входе в систему" \
  "&Готово" \
  "Vantapicker установлен. Его значок находится в области уведомлений панели задач." \
  "Запустить Vantapicker" \
  "$R0 используется другой программой: перемещен до следующей перезагрузки" \
  "Не удается выполнить запись:" \
  "Закройте использующие его программы или выберите другую папку и снова запустите установку." \
  "Разрешите запись в файл и снова запустите установку." \
  "Vantapicker не завершается.$\r$\n$\r$\nЗавершите его с помощью значка в области уведомлений и снова запустите установку." \
  "Не удается зарегистрировать Vantapicker (ошибка $0)." \
  "Vantapicker не завершается.$\r$\n$\r$\nЗавершите его с помощью значка в области уведомлений и снова запустите удаление." \
  "Не удалось отменить регистрацию Vantapicker (ошибка $1)." \
  "Файлы, которые еще используются другими программами, будут удалены при следующей перезагрузке." \
  "Некоторые файлы ${PRODUCT} еще используются другими программами. Перезагрузите Windows, чтобы завершить удаление."

!insertmacro TEXTS ${LANG_JAPANESE} \
  "${PRODUCT} はこのコンピューターのすべてのユーザー用にインストールされます。$\r$\n$\r$\n管理者としてセットアップを実行してください。" \
  "${PRODUCT} はこのコンピューターのすべてのユーザー用にインストールされています。$\r$\n$\r$\n管理者として削除してください。" \
  "Vantapicker はタスク バーの通知領域で動作します。ログオンするたびに自動的に起動することもできます。" \
  "ログオン時に Vantapicker を起動する(&S)" \
  "完了(&F)" \
  "Vantapicker がインストールされました。アイコンはタスク バーの通知領域に表示されます。" \
  "Vantapicker を起動する" \
  "$R0 は別のプログラムで使用中です: 次回の再起動まで別の名前で保存しました" \
  "書き込めません:" \
  "使用しているプログラムを閉じるか、別のフォルダーを選んで、セットアップをもう一度実行してください。" \
  "ファイルを書き込み可能にして、セットアップをもう一度実行してください。" \
  "Vantapicker が終了しません。$\r$\n$\r$\n通知領域のアイコンから終了して、セットアップをもう一度実行してください。" \
  "Vantapicker を登録できません (エラー $0)。" \
  "Vantapicker が終了しません。$\r$\n$\r$\n通知領域のアイコンから終了して、アンインストールをもう一度実行してください。" \
  "Vantapicker の登録を解除できませんでした (エラー $1)。" \
  "ほかのプログラムが使用中のファイルは、次回の再起動時に削除されます。" \
  "${PRODUCT} の一部のファイルはほかのプログラムで使用中です。削除を完了するには Windows を再起動してください。"

!insertmacro TEXTS ${LANG_SIMPCHINESE} \
  "${PRODUCT} 将为此计算机的所有用户安装。$\r$\n$\r$\n请以管理员身份运行安装程序。" \
  "${PRODUCT} 已为此计算机的所有用户安装。$\r$\n$\r$\n请以管理员身份删除它。" \
  "Vantapicker 在任务栏的通知区域中运行。它可以在你每次登录时自动启动。" \
  "登录时启动 Vantapicker(&S)" \
  "完成(&F)" \
  "Vantapicker 已安装。它的图标显示在任务栏的通知区域中。" \
  "启动 Vantapicker" \
  "$R0 正被其他程序使用: 已移到一旁，将在下次重新启动时删除" \
  "无法写入:" \
  "请关闭使用它的程序或选择其他文件夹，然后重新运行安装程序。" \
  "请使该文件可写，然后重新运行安装程序。" \
  "Vantapicker 未能退出。$\r$\n$\r$\n请通过通知区域中的图标退出它，然后重新运行安装程序。" \
  "无法注册 Vantapicker (错误 $0)。" \
  "Vantapicker 未能退出。$\r$\n$\r$\n请通过通知区域中的图标退出它，然后重新运行卸载程序。" \
  "无法注销 Vantapicker (错误 $1)。" \
  "仍被其他程序使用的文件将在下次重新启动时删除。" \
  "${PRODUCT} 的某些文件仍被其他程序使用。请重新启动 Windows 以完成删除。"
