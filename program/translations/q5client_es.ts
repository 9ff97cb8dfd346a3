<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AudioDevice</name>
    <message>
        <source>No audio input device is available</source>
        <translation>No hay ningún dispositivo de entrada de audio disponible</translation>
    </message>
    <message>
        <source>The audio input device offers no usable format</source>
        <translation>El dispositivo de entrada de audio no ofrece ningún formato utilizable</translation>
    </message>
    <message>
        <source>The audio input device could not be started</source>
        <translation>No se pudo iniciar el dispositivo de entrada de audio</translation>
    </message>
    <message>
        <source>The audio input device stopped</source>
        <translation>El dispositivo de entrada de audio se ha detenido</translation>
    </message>
    <message>
        <source>No audio output device is available</source>
        <translation>No hay ningún dispositivo de salida de audio disponible</translation>
    </message>
    <message>
        <source>The audio output device offers no usable format</source>
        <translation>El dispositivo de salida de audio no ofrece ningún formato utilizable</translation>
    </message>
    <message>
        <source>The audio output device stopped</source>
        <translation>El dispositivo de salida de audio se ha detenido</translation>
    </message>
    <message>
        <source>The audio output device could not be started</source>
        <translation>No se pudo iniciar el dispositivo de salida de audio</translation>
    </message>
</context>
<context>
    <name>CallStatus</name>
    <message>
        <source>On Hold</source>
        <translation>En espera</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Transferencia</translation>
    </message>
    <message>
        <source>In Transit</source>
        <translation>En tránsito</translation>
    </message>
    <message>
        <source>Leaving Message</source>
        <translation>Dejando mensaje</translation>
    </message>
    <message>
        <source>New Call</source>
        <translation>Llamada nueva</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Desconectada</translation>
    </message>
    <message>
        <source>Ask to hold...</source>
        <translation>Pedir que espere...</translation>
    </message>
</context>
<context>
    <name>Captions</name>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>&amp;About </source>
        <translation>Acerca d&amp;e </translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Inicio de sesión</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>Nombre de &amp;usuario:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Contraseña:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>&amp;Administration</source>
        <translation>&amp;Administración</translation>
    </message>
    <message>
        <source>Greetings</source>
        <translation>Saludos</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Greeting Key Press</source>
        <translation>Tecla del saludo</translation>
    </message>
    <message>
        <source>&amp;Notification</source>
        <translation>&amp;Notificación</translation>
    </message>
    <message>
        <source>Out Call Settings</source>
        <translation>Configuración de llamadas salientes</translation>
    </message>
    <message>
        <source>Wake Up </source>
        <translation>Despertador </translation>
    </message>
    <message>
        <source>Advanced </source>
        <translation>Avanzado </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Q5Client desktop program: log in to a mailbox of a Q5Server, watch and steer its calls
and edit its settings.</source>
        <translation>Programa de escritorio Q5Client: inicie sesión en un buzón de un Q5Server, vigile y controle sus llamadas
y modifique su configuración.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <translation>Muestra la versión del programa y termina.</translation>
    </message>
    <message>
        <source>Server for the login dialog: HOST (port 1008) or HOST:PORT.</source>
        <translation>Servidor para el diálogo de inicio de sesión: SERVIDOR (puerto 1008) o SERVIDOR:PUERTO.</translation>
    </message>
    <message>
        <source>host</source>
        <translation>servidor</translation>
    </message>
    <message>
        <source>User name (mailbox number) for the login dialog.</source>
        <translation>Nombre de usuario (número de buzón) para el diálogo de inicio de sesión.</translation>
    </message>
    <message>
        <source>name</source>
        <translation>nombre</translation>
    </message>
    <message>
        <source>
Try &apos;q5client --help&apos;.
</source>
        <translation>
Pruebe &apos;q5client --help&apos;.
</translation>
    </message>
    <message>
        <source>Unexpected argument: %1
Try &apos;q5client --help&apos;.
</source>
        <translation>Argumento inesperado: %1
Pruebe &apos;q5client --help&apos;.
</translation>
    </message>
    <message>
        <source>Write the support log&apos;s debug messages (categories q5client.*) to standard error.</source>
        <translation>Escribe en la salida de errores los mensajes de depuración del registro de soporte (categorías q5client.*).</translation>
    </message>
</context>
<context>
    <name>Contacts</name>
    <message>
        <source>Business</source>
        <translation>Trabajo</translation>
    </message>
    <message>
        <source>Business 2</source>
        <translation>Trabajo 2</translation>
    </message>
    <message>
        <source>Business fax</source>
        <translation>Fax del trabajo</translation>
    </message>
    <message>
        <source>Callback</source>
        <translation>Devolución de llamada</translation>
    </message>
    <message>
        <source>Company main</source>
        <translation>Centralita de la empresa</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax particular</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Particular</translation>
    </message>
    <message>
        <source>Home 2</source>
        <translation>Particular 2</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Móvil</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Otro</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>No contacts folder is set</source>
        <translation>No se ha configurado ninguna carpeta de contactos</translation>
    </message>
    <message>
        <source>Cannot create the contacts folder %1</source>
        <translation>No se puede crear la carpeta de contactos %1</translation>
    </message>
    <message>
        <source>Invalid contact file name %1</source>
        <translation>Nombre de archivo de contacto no válido: %1</translation>
    </message>
</context>
<context>
    <name>ConversionTable</name>
    <message>
        <source>Pager</source>
        <translation>Buscapersonas</translation>
    </message>
    <message>
        <source>Greeting</source>
        <translation>Saludo</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>Cell</source>
        <translation>Móvil</translation>
    </message>
    <message>
        <source>Fax</source>
        <translation>Fax</translation>
    </message>
    <message>
        <source>Main Menu</source>
        <translation>Menú principal</translation>
    </message>
</context>
<context>
    <name>Greetings</name>
    <message>
        <source>Not Ready</source>
        <translation>No preparado</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Detenido</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Reproduciendo</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Grabando</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pausa</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Preparado</translation>
    </message>
    <message>
        <source>To listen to your greeting, select a greeting type from the options on the left, or &apos;Name&apos; to listen to your name. Select the language in which your greeting was recorded, and press the &apos;Get Greeting&apos; Button. Then press the &apos;Play&apos; Button.</source>
        <translation>Para escuchar su saludo, elija un tipo de saludo entre las opciones de la izquierda, o &apos;Nombre&apos; para escuchar su nombre. Elija el idioma en que grabó el saludo y pulse el botón &apos;Descargar saludo&apos;. Después pulse el botón &apos;Reproducir&apos;.</translation>
    </message>
    <message>
        <source>To record your greeting, select a greeting type from the options on the left, or &apos;Name&apos; to record to your name. Select the language in which you want to record your greeting. Press the &apos;Record&apos; Button and record your greeting. Once you have finished press the &apos;Stop&apos; button and then &apos;Transmit Greeting&apos; Button. </source>
        <translation>Para grabar su saludo, elija un tipo de saludo entre las opciones de la izquierda, o &apos;Nombre&apos; para grabar su nombre. Elija el idioma en que desea grabar el saludo. Pulse el botón &apos;Grabar&apos; y grabe el saludo. Cuando termine, pulse el botón &apos;Detener&apos; y después el botón &apos;Enviar saludo&apos;. </translation>
    </message>
</context>
<context>
    <name>Languages</name>
    <message>
        <source>English</source>
        <translation>Inglés</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Español</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Francés</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Alemán</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italiano</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebreo</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Ruso</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Árabe</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Turco</translation>
    </message>
    <message>
        <source>Portugeuse</source>
        <translation>Portugués</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Rumano</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chino</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griego</translation>
    </message>
    <message>
        <source>Swahili</source>
        <translation>Suajili</translation>
    </message>
</context>
<context>
    <name>Mailbox</name>
    <message>
        <source>The file has no name to store it under on the server. Choose the file again.</source>
        <translation>El archivo no tiene un nombre con el que guardarlo en el servidor. Vuelva a elegir el archivo.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; is longer than %2 characters. Rename the file and choose it again.</source>
        <translation>El nombre de archivo &quot;%1&quot; tiene más de %2 caracteres. Cambie el nombre del archivo y vuelva a elegirlo.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; contains a blank, a slash or a line break, which the server does not accept. Rename the file and choose it again.</source>
        <translation>El nombre de archivo &quot;%1&quot; contiene un espacio, una barra o un salto de línea, que el servidor no acepta. Cambie el nombre del archivo y vuelva a elegirlo.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
</context>
<context>
    <name>NamePlayer</name>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 terminó con el estado %2</translation>
    </message>
    <message>
        <source>%1 stopped unexpectedly</source>
        <translation>%1 se detuvo de forma inesperada</translation>
    </message>
    <message>
        <source>The recorded name %1 was not found</source>
        <translation>No se encontró el nombre grabado %1</translation>
    </message>
    <message>
        <source>No audio device: no sound player (paplay, pw-play or aplay) is installed</source>
        <translation>No hay dispositivo de audio: no está instalado ningún reproductor de sonido (paplay, pw-play o aplay)</translation>
    </message>
    <message>
        <source>No audio device: %1</source>
        <translation>No hay dispositivo de audio: %1</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Fields have been changed. Do you want to save?</source>
        <translation>Se han modificado campos. ¿Desea guardar los cambios?</translation>
    </message>
    <message>
        <source>Fields changed</source>
        <translation>Campos modificados</translation>
    </message>
    <message>
        <source>Q5Controller is already running</source>
        <translation>Q5Controller ya se está ejecutando</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplicado</translation>
    </message>
    <message>
        <source>

Register the library for this user with
    q5regsvr %1
and start the program again.</source>
        <translation>

Registre la biblioteca para este usuario con
    q5regsvr %1
y vuelva a iniciar el programa.</translation>
    </message>
    <message>
        <source>The Q5Client session object could not be created (error %1). %2</source>
        <translation>No se pudo crear el objeto de sesión de Q5Client (error %1). %2</translation>
    </message>
</context>
<context>
    <name>QMdiSubWindow</name>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimizar</translation>
    </message>
</context>
<context>
    <name>Registration</name>
    <message>
        <source>The Q5Client library (libq5client.so) is not registered for this user and was not found next to the program.</source>
        <translation>La biblioteca de Q5Client (libq5client.so) no está registrada para este usuario y no se encontró junto al programa.</translation>
    </message>
    <message>
        <source>The Q5Client library %1 could not be loaded: %2</source>
        <translation>No se pudo cargar la biblioteca de Q5Client %1: %2</translation>
    </message>
    <message>
        <source>The Q5Client library %1 could not be registered (%2).</source>
        <translation>No se pudo registrar la biblioteca de Q5Client %1 (%2).</translation>
    </message>
    <message>
        <source>The registration of %1 did not take effect.</source>
        <translation>El registro de %1 no tuvo efecto.</translation>
    </message>
</context>
<context>
    <name>SecretStore</name>
    <message>
        <source>the secret store did not answer</source>
        <translation>el almacén de secretos no respondió</translation>
    </message>
</context>
<context>
    <name>TlsTrust</name>
    <message>
        <source>SHA-256 fingerprint: %1
Subject: %2
Valid: %3</source>
        <translation>Huella SHA-256: %1
Sujeto: %2
Válido: %3</translation>
    </message>
    <message>
        <source>This system does not trust the server&apos;s certificate (%1).

%2

Compare the fingerprint with the one your administrator gave you. Trust this server from now on?</source>
        <translation>Este sistema no confía en el certificado del servidor (%1).

%2

Compare la huella con la que le dio su administrador. ¿Desea confiar en este servidor a partir de ahora?</translation>
    </message>
    <message>
        <source>The server&apos;s certificate has changed since you trusted it. Someone may be listening in on the connection; it was not made.

The server now shows:
%1

If your administrator confirms the new certificate, remove the old one from the settings (section %2) and log in again.</source>
        <translation>El certificado del servidor ha cambiado desde que confió en él. Es posible que alguien esté escuchando la conexión; no se ha establecido.

Ahora el servidor muestra:
%1

Si su administrador confirma el nuevo certificado, elimine el anterior de la configuración (sección %2) y vuelva a iniciar sesión.</translation>
    </message>
</context>
<context>
    <name>WavFile</name>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>No se puede abrir %1: %2</translation>
    </message>
    <message>
        <source>%1 has no sound</source>
        <translation>%1 no contiene sonido</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>No se puede escribir %1</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>No se puede leer %1: %2</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>No se puede crear %1: %2</translation>
    </message>
</context>
<context>
    <name>WindowManager</name>
    <message>
        <source>Connection To Q5Server has been lost. Press OK to reconnect or Cancel to terminate you session.</source>
        <translation>Se ha perdido la conexión con Q5Server. Pulse Aceptar para volver a conectar o Cancelar para terminar la sesión.</translation>
    </message>
    <message>
        <source>Disconnected...</source>
        <translation>Desconectado...</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About Q5Client</source>
        <translation>Acerca de Q5Client</translation>
    </message>
    <message>
        <source>Version 2.0</source>
        <translation>Versión 2.0</translation>
    </message>
    <message>
        <source>Warning: this computer program is protected by copyright law and international treaties. Unauthorized reproduction or distribution of this program, or any portion of it, may result in severe civil and criminal penalties, and will be prosecuted to the maximum extent possible under the law.</source>
        <translation>Advertencia: este programa está protegido por las leyes de derechos de autor y por tratados internacionales. La reproducción o distribución no autorizadas de este programa, o de cualquier parte del mismo, pueden dar lugar a graves sanciones civiles y penales, y serán perseguidas con todo el rigor que permita la ley.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
</context>
<context>
    <name>frmAdvanced</name>
    <message>
        <source>Advanced Settings</source>
        <translation>Configuración avanzada</translation>
    </message>
    <message>
        <source>Wake Up Call</source>
        <translation>Llamada despertador</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Teléfono</translation>
    </message>
    <message>
        <source>Overhead Paging</source>
        <translation>Megafonía</translation>
    </message>
    <message>
        <source>Follow Me</source>
        <translation>Sígueme</translation>
    </message>
    <message>
        <source>Call Screening</source>
        <translation>Filtrado de llamadas</translation>
    </message>
    <message>
        <source>Call Transfer</source>
        <translation>Transferencia de llamadas</translation>
    </message>
    <message>
        <source>&amp;WeekDay</source>
        <translation>La&amp;borables</translation>
    </message>
    <message>
        <source>Week&amp;End</source>
        <translation>Fin de se&amp;mana</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>N&amp;inguno</translation>
    </message>
    <message>
        <source>A&amp;lways</source>
        <translation>&amp;Siempre</translation>
    </message>
    <message>
        <source>N&amp;ight</source>
        <translation>N&amp;oche</translation>
    </message>
    <message>
        <source>&amp;Day</source>
        <translation>&amp;Día</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>Acti&amp;vo</translation>
    </message>
    <message>
        <source>&amp;Screen calls thru the phone</source>
        <translation>Filtrar las llamadas &amp;por teléfono</translation>
    </message>
    <message>
        <source>&amp;Visual call screening with name recording</source>
        <translation>&amp;Filtrado visual de llamadas con grabación del nombre</translation>
    </message>
    <message>
        <source>Disa&amp;bled</source>
        <translation>Desac&amp;tivado</translation>
    </message>
    <message>
        <source>Visual call screening without name &amp;recording</source>
        <translation>Filtrado visual de &amp;llamadas sin grabación del nombre</translation>
    </message>
    <message>
        <source>Des&amp;k</source>
        <translation>Esc&amp;ritorio</translation>
    </message>
    <message>
        <source>Voice &amp;Mail</source>
        <translation>Bu&amp;zón de voz</translation>
    </message>
    <message>
        <source>Da&amp;y </source>
        <translation>D&amp;e día </translation>
    </message>
    <message>
        <source>Ann&amp;ounce</source>
        <translation>A&amp;nunciar</translation>
    </message>
    <message>
        <source>WeekDay Time</source>
        <translation>Hora en días laborables</translation>
    </message>
    <message>
        <source>WeekDay Telephone</source>
        <translation>Teléfono en días laborables</translation>
    </message>
    <message>
        <source>WeekEnd Time</source>
        <translation>Hora el fin de semana</translation>
    </message>
    <message>
        <source>WeekEnd Telephone</source>
        <translation>Teléfono el fin de semana</translation>
    </message>
</context>
<context>
    <name>frmCallControl</name>
    <message>
        <source>Call Control</source>
        <translation>Control de llamadas</translation>
    </message>
    <message>
        <source>Calling name</source>
        <translation>Nombre del llamante</translation>
    </message>
    <message>
        <source>Calling number</source>
        <translation>Número del llamante</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Elapsed</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Name Recorded</source>
        <translation>Nombre grabado</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Transferencia</translation>
    </message>
    <message>
        <source>A&amp;nswer Call</source>
        <translation>C&amp;ontestar la llamada</translation>
    </message>
    <message>
        <source>&amp;Send to Mailbox</source>
        <translation>Enviar al &amp;buzón</translation>
    </message>
    <message>
        <source>Hold / &amp;Release</source>
        <translation>Retener / &amp;Liberar</translation>
    </message>
    <message>
        <source>&amp;Transfer to...</source>
        <translation>&amp;Transferir a...</translation>
    </message>
    <message>
        <source>&amp;PopUp PIM</source>
        <translation>Ab&amp;rir contacto</translation>
    </message>
    <message>
        <source>&amp;Internal</source>
        <translation>&amp;Interna</translation>
    </message>
    <message>
        <source>&amp;External</source>
        <translation>&amp;Externa</translation>
    </message>
    <message>
        <source>Calls</source>
        <translation>Llamadas</translation>
    </message>
    <message>
        <source>Transfer number</source>
        <translation>Número de transferencia</translation>
    </message>
</context>
<context>
    <name>frmCallOut</name>
    <message>
        <source>Call Out Settings</source>
        <translation>Configuración de llamadas salientes</translation>
    </message>
    <message>
        <source>Call out numbers</source>
        <translation>Números de llamada saliente</translation>
    </message>
    <message>
        <source>Bin 1</source>
        <translation>Número 1</translation>
    </message>
    <message>
        <source>Bin 2</source>
        <translation>Número 2</translation>
    </message>
    <message>
        <source>Bin 3</source>
        <translation>Número 3</translation>
    </message>
    <message>
        <source>Bin 4</source>
        <translation>Número 4</translation>
    </message>
    <message>
        <source>Bin 5</source>
        <translation>Número 5</translation>
    </message>
    <message>
        <source>Bin 6</source>
        <translation>Número 6</translation>
    </message>
    <message>
        <source>Bin 7</source>
        <translation>Número 7</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Horario</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Días</translation>
    </message>
    <message>
        <source>RM</source>
        <translation>RM</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Desde</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>Hasta</translation>
    </message>
    <message>
        <source>Bin1</source>
        <translation>Núm.1</translation>
    </message>
    <message>
        <source>Try1</source>
        <translation>Intento1</translation>
    </message>
    <message>
        <source>Bin2</source>
        <translation>Núm.2</translation>
    </message>
    <message>
        <source>Try2</source>
        <translation>Intento2</translation>
    </message>
    <message>
        <source>Bin3</source>
        <translation>Núm.3</translation>
    </message>
    <message>
        <source>Try3</source>
        <translation>Intento3</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>Ac&amp;tivo</translation>
    </message>
    <message>
        <source>Bin 1 Type</source>
        <translation>Tipo del número 1</translation>
    </message>
    <message>
        <source>Bin 2 Type</source>
        <translation>Tipo del número 2</translation>
    </message>
    <message>
        <source>Bin 3 Type</source>
        <translation>Tipo del número 3</translation>
    </message>
    <message>
        <source>Bin 4 Type</source>
        <translation>Tipo del número 4</translation>
    </message>
    <message>
        <source>Bin 5 Type</source>
        <translation>Tipo del número 5</translation>
    </message>
    <message>
        <source>Bin 6 Type</source>
        <translation>Tipo del número 6</translation>
    </message>
    <message>
        <source>Bin 7 Type</source>
        <translation>Tipo del número 7</translation>
    </message>
    <message>
        <source>Schedule 1 Days</source>
        <translation>Horario 1: Días</translation>
    </message>
    <message>
        <source>Schedule 1 Active</source>
        <translation>Horario 1: Activo</translation>
    </message>
    <message>
        <source>Schedule 1 RM</source>
        <translation>Horario 1: RM</translation>
    </message>
    <message>
        <source>Schedule 1 PM</source>
        <translation>Horario 1: PM</translation>
    </message>
    <message>
        <source>Schedule 1 From</source>
        <translation>Horario 1: Desde</translation>
    </message>
    <message>
        <source>Schedule 1 Until</source>
        <translation>Horario 1: Hasta</translation>
    </message>
    <message>
        <source>Schedule 1 Bin1</source>
        <translation>Horario 1: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 1 Try1</source>
        <translation>Horario 1: Intento1</translation>
    </message>
    <message>
        <source>Schedule 1 Bin2</source>
        <translation>Horario 1: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 1 Try2</source>
        <translation>Horario 1: Intento2</translation>
    </message>
    <message>
        <source>Schedule 1 Bin3</source>
        <translation>Horario 1: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 1 Try3</source>
        <translation>Horario 1: Intento3</translation>
    </message>
    <message>
        <source>Schedule 2 Days</source>
        <translation>Horario 2: Días</translation>
    </message>
    <message>
        <source>Schedule 2 Active</source>
        <translation>Horario 2: Activo</translation>
    </message>
    <message>
        <source>Schedule 2 RM</source>
        <translation>Horario 2: RM</translation>
    </message>
    <message>
        <source>Schedule 2 PM</source>
        <translation>Horario 2: PM</translation>
    </message>
    <message>
        <source>Schedule 2 From</source>
        <translation>Horario 2: Desde</translation>
    </message>
    <message>
        <source>Schedule 2 Until</source>
        <translation>Horario 2: Hasta</translation>
    </message>
    <message>
        <source>Schedule 2 Bin1</source>
        <translation>Horario 2: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 2 Try1</source>
        <translation>Horario 2: Intento1</translation>
    </message>
    <message>
        <source>Schedule 2 Bin2</source>
        <translation>Horario 2: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 2 Try2</source>
        <translation>Horario 2: Intento2</translation>
    </message>
    <message>
        <source>Schedule 2 Bin3</source>
        <translation>Horario 2: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 2 Try3</source>
        <translation>Horario 2: Intento3</translation>
    </message>
    <message>
        <source>Schedule 3 Days</source>
        <translation>Horario 3: Días</translation>
    </message>
    <message>
        <source>Schedule 3 Active</source>
        <translation>Horario 3: Activo</translation>
    </message>
    <message>
        <source>Schedule 3 RM</source>
        <translation>Horario 3: RM</translation>
    </message>
    <message>
        <source>Schedule 3 PM</source>
        <translation>Horario 3: PM</translation>
    </message>
    <message>
        <source>Schedule 3 From</source>
        <translation>Horario 3: Desde</translation>
    </message>
    <message>
        <source>Schedule 3 Until</source>
        <translation>Horario 3: Hasta</translation>
    </message>
    <message>
        <source>Schedule 3 Bin1</source>
        <translation>Horario 3: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 3 Try1</source>
        <translation>Horario 3: Intento1</translation>
    </message>
    <message>
        <source>Schedule 3 Bin2</source>
        <translation>Horario 3: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 3 Try2</source>
        <translation>Horario 3: Intento2</translation>
    </message>
    <message>
        <source>Schedule 3 Bin3</source>
        <translation>Horario 3: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 3 Try3</source>
        <translation>Horario 3: Intento3</translation>
    </message>
    <message>
        <source>Schedule 4 Days</source>
        <translation>Horario 4: Días</translation>
    </message>
    <message>
        <source>Schedule 4 Active</source>
        <translation>Horario 4: Activo</translation>
    </message>
    <message>
        <source>Schedule 4 RM</source>
        <translation>Horario 4: RM</translation>
    </message>
    <message>
        <source>Schedule 4 PM</source>
        <translation>Horario 4: PM</translation>
    </message>
    <message>
        <source>Schedule 4 From</source>
        <translation>Horario 4: Desde</translation>
    </message>
    <message>
        <source>Schedule 4 Until</source>
        <translation>Horario 4: Hasta</translation>
    </message>
    <message>
        <source>Schedule 4 Bin1</source>
        <translation>Horario 4: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 4 Try1</source>
        <translation>Horario 4: Intento1</translation>
    </message>
    <message>
        <source>Schedule 4 Bin2</source>
        <translation>Horario 4: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 4 Try2</source>
        <translation>Horario 4: Intento2</translation>
    </message>
    <message>
        <source>Schedule 4 Bin3</source>
        <translation>Horario 4: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 4 Try3</source>
        <translation>Horario 4: Intento3</translation>
    </message>
    <message>
        <source>Schedule 5 Days</source>
        <translation>Horario 5: Días</translation>
    </message>
    <message>
        <source>Schedule 5 Active</source>
        <translation>Horario 5: Activo</translation>
    </message>
    <message>
        <source>Schedule 5 RM</source>
        <translation>Horario 5: RM</translation>
    </message>
    <message>
        <source>Schedule 5 PM</source>
        <translation>Horario 5: PM</translation>
    </message>
    <message>
        <source>Schedule 5 From</source>
        <translation>Horario 5: Desde</translation>
    </message>
    <message>
        <source>Schedule 5 Until</source>
        <translation>Horario 5: Hasta</translation>
    </message>
    <message>
        <source>Schedule 5 Bin1</source>
        <translation>Horario 5: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 5 Try1</source>
        <translation>Horario 5: Intento1</translation>
    </message>
    <message>
        <source>Schedule 5 Bin2</source>
        <translation>Horario 5: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 5 Try2</source>
        <translation>Horario 5: Intento2</translation>
    </message>
    <message>
        <source>Schedule 5 Bin3</source>
        <translation>Horario 5: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 5 Try3</source>
        <translation>Horario 5: Intento3</translation>
    </message>
    <message>
        <source>Schedule 6 Days</source>
        <translation>Horario 6: Días</translation>
    </message>
    <message>
        <source>Schedule 6 Active</source>
        <translation>Horario 6: Activo</translation>
    </message>
    <message>
        <source>Schedule 6 RM</source>
        <translation>Horario 6: RM</translation>
    </message>
    <message>
        <source>Schedule 6 PM</source>
        <translation>Horario 6: PM</translation>
    </message>
    <message>
        <source>Schedule 6 From</source>
        <translation>Horario 6: Desde</translation>
    </message>
    <message>
        <source>Schedule 6 Until</source>
        <translation>Horario 6: Hasta</translation>
    </message>
    <message>
        <source>Schedule 6 Bin1</source>
        <translation>Horario 6: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 6 Try1</source>
        <translation>Horario 6: Intento1</translation>
    </message>
    <message>
        <source>Schedule 6 Bin2</source>
        <translation>Horario 6: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 6 Try2</source>
        <translation>Horario 6: Intento2</translation>
    </message>
    <message>
        <source>Schedule 6 Bin3</source>
        <translation>Horario 6: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 6 Try3</source>
        <translation>Horario 6: Intento3</translation>
    </message>
    <message>
        <source>Schedule 7 Days</source>
        <translation>Horario 7: Días</translation>
    </message>
    <message>
        <source>Schedule 7 Active</source>
        <translation>Horario 7: Activo</translation>
    </message>
    <message>
        <source>Schedule 7 RM</source>
        <translation>Horario 7: RM</translation>
    </message>
    <message>
        <source>Schedule 7 PM</source>
        <translation>Horario 7: PM</translation>
    </message>
    <message>
        <source>Schedule 7 From</source>
        <translation>Horario 7: Desde</translation>
    </message>
    <message>
        <source>Schedule 7 Until</source>
        <translation>Horario 7: Hasta</translation>
    </message>
    <message>
        <source>Schedule 7 Bin1</source>
        <translation>Horario 7: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 7 Try1</source>
        <translation>Horario 7: Intento1</translation>
    </message>
    <message>
        <source>Schedule 7 Bin2</source>
        <translation>Horario 7: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 7 Try2</source>
        <translation>Horario 7: Intento2</translation>
    </message>
    <message>
        <source>Schedule 7 Bin3</source>
        <translation>Horario 7: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 7 Try3</source>
        <translation>Horario 7: Intento3</translation>
    </message>
</context>
<context>
    <name>frmContact</name>
    <message>
        <source>Contact</source>
        <translation>Contacto</translation>
    </message>
    <message>
        <source>Full name</source>
        <translation>Nombre completo</translation>
    </message>
    <message>
        <source>Organisation</source>
        <translation>Organización</translation>
    </message>
    <message>
        <source>Business</source>
        <translation>Trabajo</translation>
    </message>
    <message>
        <source>Business 2</source>
        <translation>Trabajo 2</translation>
    </message>
    <message>
        <source>Business fax</source>
        <translation>Fax del trabajo</translation>
    </message>
    <message>
        <source>Callback</source>
        <translation>Devolución de llamada</translation>
    </message>
    <message>
        <source>Company main</source>
        <translation>Centralita de la empresa</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax particular</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Particular</translation>
    </message>
    <message>
        <source>Home 2</source>
        <translation>Particular 2</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Móvil</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Otro</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>Correo electrónico</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>C&amp;errar</translation>
    </message>
</context>
<context>
    <name>frmConversionTable</name>
    <message>
        <source>Key Press</source>
        <translation>Tecla</translation>
    </message>
    <message>
        <source>&amp;Department override</source>
        <translation>&amp;Desvío de departamento</translation>
    </message>
</context>
<context>
    <name>frmDesktopSettings</name>
    <message>
        <source>Desktop Settings</source>
        <translation>Configuración del escritorio</translation>
    </message>
    <message>
        <source>Show a &amp;notification for each new call</source>
        <translation>Mostrar una &amp;notificación para cada llamada nueva</translation>
    </message>
    <message>
        <source>&amp;Keep running in the tray when the main window closes</source>
        <translation>&amp;Seguir en la bandeja al cerrar la ventana principal</translation>
    </message>
    <message>
        <source>&amp;Start with the desktop session</source>
        <translation>&amp;Iniciar con la sesión del escritorio</translation>
    </message>
    <message>
        <source>Start &amp;minimised to the tray</source>
        <translation>Iniciar &amp;minimizado en la bandeja</translation>
    </message>
    <message>
        <source>This desktop shows no tray: the program ends when its main window closes.</source>
        <translation>Este escritorio no tiene bandeja: el programa termina al cerrar su ventana principal.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>frmGreeting</name>
    <message>
        <source>Greeting</source>
        <translation>Saludo</translation>
    </message>
    <message>
        <source>Greeting Type</source>
        <translation>Tipo de saludo</translation>
    </message>
    <message>
        <source>Greeting Language</source>
        <translation>Idioma del saludo</translation>
    </message>
    <message>
        <source>Active Greeting</source>
        <translation>Saludo activo</translation>
    </message>
    <message>
        <source>Recorder</source>
        <translation>Grabadora</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>Anterior</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>File Name  :</source>
        <translation>Nombre de archivo  :</translation>
    </message>
    <message>
        <source>Status  :</source>
        <translation>Estado  :</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Temporary</source>
        <translation>Te&amp;mporal</translation>
    </message>
    <message>
        <source>&amp;Busy</source>
        <translation>&amp;Ocupado</translation>
    </message>
    <message>
        <source>No Ans&amp;wer</source>
        <translation>No &amp;hay respuesta</translation>
    </message>
    <message>
        <source>Ho&amp;ld</source>
        <translation>E&amp;spera</translation>
    </message>
    <message>
        <source>Trans&amp;fer</source>
        <translation>Trans&amp;ferencia</translation>
    </message>
    <message>
        <source>N&amp;ormal</source>
        <translation>Norma&amp;l</translation>
    </message>
    <message>
        <source>Tempo&amp;rary</source>
        <translation>&amp;Temporal</translation>
    </message>
    <message>
        <source>Non&amp;e</source>
        <translation>N&amp;inguno</translation>
    </message>
    <message>
        <source>Na&amp;me</source>
        <translation>Nom&amp;bre</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Reproducir</translation>
    </message>
    <message>
        <source>Pa&amp;use</source>
        <translation>&amp;Pausa</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>D&amp;etener</translation>
    </message>
    <message>
        <source>Recor&amp;d</source>
        <translation>&amp;Grabar</translation>
    </message>
    <message>
        <source>&amp;Get Greeting</source>
        <translation>&amp;Descargar saludo</translation>
    </message>
    <message>
        <source>Transm&amp;it Greeting</source>
        <translation>En&amp;viar saludo</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Posición</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>Login</source>
        <translation>Inicio de sesión</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>Nombre de &amp;usuario:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Contraseña:</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Servidor</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>&amp;Save User&apos;s Settings</source>
        <translation>&amp;Guardar la configuración del usuario</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;Call Control</source>
        <translation>&amp;Control de llamadas</translation>
    </message>
    <message>
        <source>&amp;Start Call Control</source>
        <translation>&amp;Iniciar el control de llamadas</translation>
    </message>
    <message>
        <source>&amp;PIM Setup</source>
        <translation>Configuración del gestor de co&amp;ntactos</translation>
    </message>
    <message>
        <source>&amp;Mailbox Settings</source>
        <translation>Configuración del &amp;buzón</translation>
    </message>
    <message>
        <source>&amp;Advanced </source>
        <translation>A&amp;vanzado </translation>
    </message>
    <message>
        <source>Greeting &amp;Key Press</source>
        <translation>&amp;Tecla del saludo</translation>
    </message>
    <message>
        <source>&amp;Out Call Settings</source>
        <translation>Configuración de llamadas &amp;salientes</translation>
    </message>
    <message>
        <source>&amp;Greetings</source>
        <translation>Salu&amp;dos</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Propiedades</translation>
    </message>
    <message>
        <source>&amp;Desktop Settings</source>
        <translation>Configuración del &amp;escritorio</translation>
    </message>
</context>
<context>
    <name>frmMbx</name>
    <message>
        <source>Mailbox Settings</source>
        <translation>Configuración del buzón</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Wake Up Call</source>
        <translation>Llamada despertador</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Teléfono</translation>
    </message>
    <message>
        <source>Overhead Paging</source>
        <translation>Megafonía</translation>
    </message>
    <message>
        <source>Follow Me</source>
        <translation>Sígueme</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Activo</translation>
    </message>
    <message>
        <source>Call Screening</source>
        <translation>Filtrado de llamadas</translation>
    </message>
    <message>
        <source>Call Transfer</source>
        <translation>Transferencia de llamadas</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>Correo electrónico</translation>
    </message>
    <message>
        <source>Message Status After Download</source>
        <translation>Estado de los mensajes tras la descarga</translation>
    </message>
    <message>
        <source>Client Password</source>
        <translation>Contraseña del cliente</translation>
    </message>
    <message>
        <source>E-MWI</source>
        <translation>E-MWI</translation>
    </message>
    <message>
        <source>Email Address</source>
        <translation>Dirección de correo electrónico</translation>
    </message>
    <message>
        <source>Callout Schedule</source>
        <translation>Llamadas salientes</translation>
    </message>
    <message>
        <source>Call out numbers</source>
        <translation>Números de llamada saliente</translation>
    </message>
    <message>
        <source>Bin 1</source>
        <translation>Número 1</translation>
    </message>
    <message>
        <source>Bin 2</source>
        <translation>Número 2</translation>
    </message>
    <message>
        <source>Bin 3</source>
        <translation>Número 3</translation>
    </message>
    <message>
        <source>Bin 4</source>
        <translation>Número 4</translation>
    </message>
    <message>
        <source>Bin 5</source>
        <translation>Número 5</translation>
    </message>
    <message>
        <source>Bin 6</source>
        <translation>Número 6</translation>
    </message>
    <message>
        <source>Bin 7</source>
        <translation>Número 7</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Horario</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Días</translation>
    </message>
    <message>
        <source>RM</source>
        <translation>RM</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Desde</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>Hasta</translation>
    </message>
    <message>
        <source>Bin1</source>
        <translation>Núm.1</translation>
    </message>
    <message>
        <source>Try1</source>
        <translation>Intento1</translation>
    </message>
    <message>
        <source>Bin2</source>
        <translation>Núm.2</translation>
    </message>
    <message>
        <source>Try2</source>
        <translation>Intento2</translation>
    </message>
    <message>
        <source>Bin3</source>
        <translation>Núm.3</translation>
    </message>
    <message>
        <source>Try3</source>
        <translation>Intento3</translation>
    </message>
    <message>
        <source>Conversion Table</source>
        <translation>Tabla de conversión</translation>
    </message>
    <message>
        <source>Advanced Email Settings</source>
        <translation>Correo avanzado</translation>
    </message>
    <message>
        <source>Forward Address 1:</source>
        <translation>Dirección de reenvío 1:</translation>
    </message>
    <message>
        <source>Subject 1:</source>
        <translation>Asunto 1:</translation>
    </message>
    <message>
        <source>Attachment 1:</source>
        <translation>Adjunto 1:</translation>
    </message>
    <message>
        <source>Send File</source>
        <translation>Enviar archivo</translation>
    </message>
    <message>
        <source>Text 1:</source>
        <translation>Texto 1:</translation>
    </message>
    <message>
        <source>Forward Address 2:</source>
        <translation>Dirección de reenvío 2:</translation>
    </message>
    <message>
        <source>Subject 2:</source>
        <translation>Asunto 2:</translation>
    </message>
    <message>
        <source>Attachment 2:</source>
        <translation>Adjunto 2:</translation>
    </message>
    <message>
        <source>Text 2:</source>
        <translation>Texto 2:</translation>
    </message>
    <message>
        <source>Forward Address 3:</source>
        <translation>Dirección de reenvío 3:</translation>
    </message>
    <message>
        <source>Subject 3:</source>
        <translation>Asunto 3:</translation>
    </message>
    <message>
        <source>Attachment 3:</source>
        <translation>Adjunto 3:</translation>
    </message>
    <message>
        <source>Text 3:</source>
        <translation>Texto 3:</translation>
    </message>
    <message>
        <source>Forward Address 4:</source>
        <translation>Dirección de reenvío 4:</translation>
    </message>
    <message>
        <source>Subject 4:</source>
        <translation>Asunto 4:</translation>
    </message>
    <message>
        <source>Attachment 4:</source>
        <translation>Adjunto 4:</translation>
    </message>
    <message>
        <source>Text 4:</source>
        <translation>Texto 4:</translation>
    </message>
    <message>
        <source>Forward Address 5:</source>
        <translation>Dirección de reenvío 5:</translation>
    </message>
    <message>
        <source>Subject 5:</source>
        <translation>Asunto 5:</translation>
    </message>
    <message>
        <source>Attachment 5:</source>
        <translation>Adjunto 5:</translation>
    </message>
    <message>
        <source>Text 5:</source>
        <translation>Texto 5:</translation>
    </message>
    <message>
        <source>&amp;WeekDay</source>
        <translation>La&amp;borables</translation>
    </message>
    <message>
        <source>Week&amp;End</source>
        <translation>Fin de se&amp;mana</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>N&amp;inguno</translation>
    </message>
    <message>
        <source>A&amp;lways</source>
        <translation>&amp;Siempre</translation>
    </message>
    <message>
        <source>N&amp;ight</source>
        <translation>N&amp;oche</translation>
    </message>
    <message>
        <source>&amp;Day</source>
        <translation>&amp;Día</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>Acti&amp;vo</translation>
    </message>
    <message>
        <source>&amp;Screen calls thru the phone</source>
        <translation>Filtrar las llamadas &amp;por teléfono</translation>
    </message>
    <message>
        <source>&amp;Visual call screening with name recording</source>
        <translation>&amp;Filtrado visual de llamadas con grabación del nombre</translation>
    </message>
    <message>
        <source>Disa&amp;bled</source>
        <translation>Desac&amp;tivado</translation>
    </message>
    <message>
        <source>Visual call screening without name &amp;recording</source>
        <translation>Filtrado visual de &amp;llamadas sin grabación del nombre</translation>
    </message>
    <message>
        <source>Des&amp;k</source>
        <translation>Esc&amp;ritorio</translation>
    </message>
    <message>
        <source>Voice &amp;Mail</source>
        <translation>Bu&amp;zón de voz</translation>
    </message>
    <message>
        <source>Da&amp;y </source>
        <translation>D&amp;e día </translation>
    </message>
    <message>
        <source>Ann&amp;ounce</source>
        <translation>A&amp;nunciar</translation>
    </message>
    <message>
        <source>&amp;Unheard</source>
        <translation>&amp;No escuchado</translation>
    </message>
    <message>
        <source>&amp;Saved</source>
        <translation>&amp;Guardado</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>&amp;No MWI</source>
        <translation>Sin &amp;MWI</translation>
    </message>
    <message>
        <source>&amp;Add Attachment</source>
        <translation>C&amp;on adjunto</translation>
    </message>
    <message>
        <source>&amp;Without Attachment</source>
        <translation>&amp;Sin adjunto</translation>
    </message>
    <message>
        <source>&amp;Department override</source>
        <translation>&amp;Desvío de departamento</translation>
    </message>
    <message>
        <source>WeekDay Time</source>
        <translation>Hora en días laborables</translation>
    </message>
    <message>
        <source>WeekDay Telephone</source>
        <translation>Teléfono en días laborables</translation>
    </message>
    <message>
        <source>WeekEnd Time</source>
        <translation>Hora el fin de semana</translation>
    </message>
    <message>
        <source>WeekEnd Telephone</source>
        <translation>Teléfono el fin de semana</translation>
    </message>
    <message>
        <source>Bin 1 Type</source>
        <translation>Tipo del número 1</translation>
    </message>
    <message>
        <source>Bin 2 Type</source>
        <translation>Tipo del número 2</translation>
    </message>
    <message>
        <source>Bin 3 Type</source>
        <translation>Tipo del número 3</translation>
    </message>
    <message>
        <source>Bin 4 Type</source>
        <translation>Tipo del número 4</translation>
    </message>
    <message>
        <source>Bin 5 Type</source>
        <translation>Tipo del número 5</translation>
    </message>
    <message>
        <source>Bin 6 Type</source>
        <translation>Tipo del número 6</translation>
    </message>
    <message>
        <source>Bin 7 Type</source>
        <translation>Tipo del número 7</translation>
    </message>
    <message>
        <source>Schedule 1 Days</source>
        <translation>Horario 1: Días</translation>
    </message>
    <message>
        <source>Schedule 1 Active</source>
        <translation>Horario 1: Activo</translation>
    </message>
    <message>
        <source>Schedule 1 RM</source>
        <translation>Horario 1: RM</translation>
    </message>
    <message>
        <source>Schedule 1 PM</source>
        <translation>Horario 1: PM</translation>
    </message>
    <message>
        <source>Schedule 1 From</source>
        <translation>Horario 1: Desde</translation>
    </message>
    <message>
        <source>Schedule 1 Until</source>
        <translation>Horario 1: Hasta</translation>
    </message>
    <message>
        <source>Schedule 1 Bin1</source>
        <translation>Horario 1: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 1 Try1</source>
        <translation>Horario 1: Intento1</translation>
    </message>
    <message>
        <source>Schedule 1 Bin2</source>
        <translation>Horario 1: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 1 Try2</source>
        <translation>Horario 1: Intento2</translation>
    </message>
    <message>
        <source>Schedule 1 Bin3</source>
        <translation>Horario 1: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 1 Try3</source>
        <translation>Horario 1: Intento3</translation>
    </message>
    <message>
        <source>Schedule 2 Days</source>
        <translation>Horario 2: Días</translation>
    </message>
    <message>
        <source>Schedule 2 Active</source>
        <translation>Horario 2: Activo</translation>
    </message>
    <message>
        <source>Schedule 2 RM</source>
        <translation>Horario 2: RM</translation>
    </message>
    <message>
        <source>Schedule 2 PM</source>
        <translation>Horario 2: PM</translation>
    </message>
    <message>
        <source>Schedule 2 From</source>
        <translation>Horario 2: Desde</translation>
    </message>
    <message>
        <source>Schedule 2 Until</source>
        <translation>Horario 2: Hasta</translation>
    </message>
    <message>
        <source>Schedule 2 Bin1</source>
        <translation>Horario 2: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 2 Try1</source>
        <translation>Horario 2: Intento1</translation>
    </message>
    <message>
        <source>Schedule 2 Bin2</source>
        <translation>Horario 2: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 2 Try2</source>
        <translation>Horario 2: Intento2</translation>
    </message>
    <message>
        <source>Schedule 2 Bin3</source>
        <translation>Horario 2: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 2 Try3</source>
        <translation>Horario 2: Intento3</translation>
    </message>
    <message>
        <source>Schedule 3 Days</source>
        <translation>Horario 3: Días</translation>
    </message>
    <message>
        <source>Schedule 3 Active</source>
        <translation>Horario 3: Activo</translation>
    </message>
    <message>
        <source>Schedule 3 RM</source>
        <translation>Horario 3: RM</translation>
    </message>
    <message>
        <source>Schedule 3 PM</source>
        <translation>Horario 3: PM</translation>
    </message>
    <message>
        <source>Schedule 3 From</source>
        <translation>Horario 3: Desde</translation>
    </message>
    <message>
        <source>Schedule 3 Until</source>
        <translation>Horario 3: Hasta</translation>
    </message>
    <message>
        <source>Schedule 3 Bin1</source>
        <translation>Horario 3: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 3 Try1</source>
        <translation>Horario 3: Intento1</translation>
    </message>
    <message>
        <source>Schedule 3 Bin2</source>
        <translation>Horario 3: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 3 Try2</source>
        <translation>Horario 3: Intento2</translation>
    </message>
    <message>
        <source>Schedule 3 Bin3</source>
        <translation>Horario 3: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 3 Try3</source>
        <translation>Horario 3: Intento3</translation>
    </message>
    <message>
        <source>Schedule 4 Days</source>
        <translation>Horario 4: Días</translation>
    </message>
    <message>
        <source>Schedule 4 Active</source>
        <translation>Horario 4: Activo</translation>
    </message>
    <message>
        <source>Schedule 4 RM</source>
        <translation>Horario 4: RM</translation>
    </message>
    <message>
        <source>Schedule 4 PM</source>
        <translation>Horario 4: PM</translation>
    </message>
    <message>
        <source>Schedule 4 From</source>
        <translation>Horario 4: Desde</translation>
    </message>
    <message>
        <source>Schedule 4 Until</source>
        <translation>Horario 4: Hasta</translation>
    </message>
    <message>
        <source>Schedule 4 Bin1</source>
        <translation>Horario 4: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 4 Try1</source>
        <translation>Horario 4: Intento1</translation>
    </message>
    <message>
        <source>Schedule 4 Bin2</source>
        <translation>Horario 4: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 4 Try2</source>
        <translation>Horario 4: Intento2</translation>
    </message>
    <message>
        <source>Schedule 4 Bin3</source>
        <translation>Horario 4: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 4 Try3</source>
        <translation>Horario 4: Intento3</translation>
    </message>
    <message>
        <source>Schedule 5 Days</source>
        <translation>Horario 5: Días</translation>
    </message>
    <message>
        <source>Schedule 5 Active</source>
        <translation>Horario 5: Activo</translation>
    </message>
    <message>
        <source>Schedule 5 RM</source>
        <translation>Horario 5: RM</translation>
    </message>
    <message>
        <source>Schedule 5 PM</source>
        <translation>Horario 5: PM</translation>
    </message>
    <message>
        <source>Schedule 5 From</source>
        <translation>Horario 5: Desde</translation>
    </message>
    <message>
        <source>Schedule 5 Until</source>
        <translation>Horario 5: Hasta</translation>
    </message>
    <message>
        <source>Schedule 5 Bin1</source>
        <translation>Horario 5: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 5 Try1</source>
        <translation>Horario 5: Intento1</translation>
    </message>
    <message>
        <source>Schedule 5 Bin2</source>
        <translation>Horario 5: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 5 Try2</source>
        <translation>Horario 5: Intento2</translation>
    </message>
    <message>
        <source>Schedule 5 Bin3</source>
        <translation>Horario 5: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 5 Try3</source>
        <translation>Horario 5: Intento3</translation>
    </message>
    <message>
        <source>Schedule 6 Days</source>
        <translation>Horario 6: Días</translation>
    </message>
    <message>
        <source>Schedule 6 Active</source>
        <translation>Horario 6: Activo</translation>
    </message>
    <message>
        <source>Schedule 6 RM</source>
        <translation>Horario 6: RM</translation>
    </message>
    <message>
        <source>Schedule 6 PM</source>
        <translation>Horario 6: PM</translation>
    </message>
    <message>
        <source>Schedule 6 From</source>
        <translation>Horario 6: Desde</translation>
    </message>
    <message>
        <source>Schedule 6 Until</source>
        <translation>Horario 6: Hasta</translation>
    </message>
    <message>
        <source>Schedule 6 Bin1</source>
        <translation>Horario 6: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 6 Try1</source>
        <translation>Horario 6: Intento1</translation>
    </message>
    <message>
        <source>Schedule 6 Bin2</source>
        <translation>Horario 6: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 6 Try2</source>
        <translation>Horario 6: Intento2</translation>
    </message>
    <message>
        <source>Schedule 6 Bin3</source>
        <translation>Horario 6: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 6 Try3</source>
        <translation>Horario 6: Intento3</translation>
    </message>
    <message>
        <source>Schedule 7 Days</source>
        <translation>Horario 7: Días</translation>
    </message>
    <message>
        <source>Schedule 7 Active</source>
        <translation>Horario 7: Activo</translation>
    </message>
    <message>
        <source>Schedule 7 RM</source>
        <translation>Horario 7: RM</translation>
    </message>
    <message>
        <source>Schedule 7 PM</source>
        <translation>Horario 7: PM</translation>
    </message>
    <message>
        <source>Schedule 7 From</source>
        <translation>Horario 7: Desde</translation>
    </message>
    <message>
        <source>Schedule 7 Until</source>
        <translation>Horario 7: Hasta</translation>
    </message>
    <message>
        <source>Schedule 7 Bin1</source>
        <translation>Horario 7: Núm.1</translation>
    </message>
    <message>
        <source>Schedule 7 Try1</source>
        <translation>Horario 7: Intento1</translation>
    </message>
    <message>
        <source>Schedule 7 Bin2</source>
        <translation>Horario 7: Núm.2</translation>
    </message>
    <message>
        <source>Schedule 7 Try2</source>
        <translation>Horario 7: Intento2</translation>
    </message>
    <message>
        <source>Schedule 7 Bin3</source>
        <translation>Horario 7: Núm.3</translation>
    </message>
    <message>
        <source>Schedule 7 Try3</source>
        <translation>Horario 7: Intento3</translation>
    </message>
    <message>
        <source>Choose Attachment 1</source>
        <translation>Elegir el adjunto 1</translation>
    </message>
    <message>
        <source>Choose Text 1</source>
        <translation>Elegir el texto 1</translation>
    </message>
    <message>
        <source>Choose Attachment 2</source>
        <translation>Elegir el adjunto 2</translation>
    </message>
    <message>
        <source>Choose Text 2</source>
        <translation>Elegir el texto 2</translation>
    </message>
    <message>
        <source>Choose Attachment 3</source>
        <translation>Elegir el adjunto 3</translation>
    </message>
    <message>
        <source>Choose Text 3</source>
        <translation>Elegir el texto 3</translation>
    </message>
    <message>
        <source>Choose Attachment 4</source>
        <translation>Elegir el adjunto 4</translation>
    </message>
    <message>
        <source>Choose Text 4</source>
        <translation>Elegir el texto 4</translation>
    </message>
    <message>
        <source>Choose Attachment 5</source>
        <translation>Elegir el adjunto 5</translation>
    </message>
    <message>
        <source>Choose Text 5</source>
        <translation>Elegir el texto 5</translation>
    </message>
</context>
<context>
    <name>frmPIMSetup</name>
    <message>
        <source>PIM Setup</source>
        <translation>Configuración del gestor de contactos</translation>
    </message>
    <message>
        <source>Contacts&apos; telephone number pattern (use # to represent a digit)</source>
        <translation>Formato de los números de teléfono de los contactos (use # para cada dígito)</translation>
    </message>
    <message>
        <source>Eample: (###) ###-####</source>
        <translation>Ejemplo: (###) ###-####</translation>
    </message>
    <message>
        <source>Contacts folder (one vCard file per contact; empty: the program&apos;s own folder)</source>
        <translation>Carpeta de contactos (un archivo vCard por contacto; vacía: la carpeta propia del programa)</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Examinar...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Ca&amp;ncelar</translation>
    </message>
    <message>
        <source>Region of national numbers (two letters, such as US or DE; empty: from the system&apos;s locale)</source>
        <translation>Región de los números nacionales (dos letras, como US o DE; vacío: la de la configuración regional del sistema)</translation>
    </message>
</context>
<context>
    <name>frmProperties</name>
    <message>
        <source>Properties</source>
        <translation>Propiedades</translation>
    </message>
    <message>
        <source>PIM Client</source>
        <translation>Gestor de contactos</translation>
    </message>
    <message>
        <source>Pop-Up Sound</source>
        <translation>Sonido al abrir</translation>
    </message>
    <message>
        <source>&amp;Automatic Pop-Up Screen</source>
        <translation>Abrir &amp;el contacto automáticamente</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>q5client: no display: neither DISPLAY nor WAYLAND_DISPLAY is set; start it in a desktop session, or without one under xvfb-run (xvfb-run q5client)
</source>
        <translation>q5client: no hay pantalla: no está definida DISPLAY ni WAYLAND_DISPLAY; inícielo en una sesión de escritorio, o sin ella con xvfb-run (xvfb-run q5client)
</translation>
    </message>
</context>
<context>
    <name>q5::ServerWaitIndicator</name>
    <message>
        <source>Waiting for the server...</source>
        <translation>Esperando al servidor...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>q5::calls::CallNotifier</name>
    <message>
        <source>Incoming call</source>
        <translation>Llamada entrante</translation>
    </message>
    <message>
        <source>Call from %1</source>
        <translation>Llamada de %1</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>Contestar</translation>
    </message>
    <message>
        <source>Send to Mailbox</source>
        <translation>Enviar al buzón</translation>
    </message>
    <message>
        <source>Hold / Release</source>
        <translation>Retener / Liberar</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Mostrar</translation>
    </message>
</context>
<context>
    <name>q5::frmAbout</name>
    <message>
        <source>Version 2.0</source>
        <translation>Versión 2.0</translation>
    </message>
</context>
<context>
    <name>q5::frmCallControl</name>
    <message>
        <source>please select a call in progress</source>
        <translation>seleccione una llamada en curso</translation>
    </message>
    <message>
        <source>Call events are not available: the event log could not be created</source>
        <translation>Los eventos de llamada no están disponibles: no se pudo crear el registro de eventos</translation>
    </message>
    <message>
        <source>The connection for call events ended and was restored at %1</source>
        <translation>La conexión de eventos de llamada se interrumpió y se restableció a las %1</translation>
    </message>
    <message>
        <source>Receiving calls from Q5Server</source>
        <translation>Recibiendo llamadas de Q5Server</translation>
    </message>
    <message>
        <source>The connection for call events has ended (%1); retrying in %2 s</source>
        <translation>La conexión de eventos de llamada se ha interrumpido (%1); se reintentará en %2 s</translation>
    </message>
    <message>
        <source>The call events could not be started (%1); retrying in %2 s</source>
        <translation>No se pudieron iniciar los eventos de llamada (%1); se reintentará en %2 s</translation>
    </message>
    <message>
        <source>A1 Error</source>
        <translation>Error A1</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>The call log %1 could not be written: %2</source>
        <translation>No se pudo escribir el registro de llamadas %1: %2</translation>
    </message>
    <message>
        <source>The recorded name cannot be played: </source>
        <translation>No se puede reproducir el nombre grabado: </translation>
    </message>
</context>
<context>
    <name>q5::frmContact</name>
    <message>
        <source>New Contact</source>
        <translation>Contacto nuevo</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>Contacto</translation>
    </message>
    <message>
        <source>%1 - Contact</source>
        <translation>%1 - Contacto</translation>
    </message>
    <message>
        <source>Not saved: </source>
        <translation>No guardado: </translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Guardado</translation>
    </message>
</context>
<context>
    <name>q5::frmDesktopSettings</name>
    <message>
        <source>The autostart entry %1 could not be changed: %2</source>
        <translation>No se pudo cambiar la entrada de inicio automático %1: %2</translation>
    </message>
</context>
<context>
    <name>q5::frmGreeting</name>
    <message>
        <source>Greeting is not recorded</source>
        <translation>El saludo no está grabado</translation>
    </message>
    <message>
        <source>Cannot create %1</source>
        <translation>No se puede crear %1</translation>
    </message>
</context>
<context>
    <name>q5::frmLogin</name>
    <message>
        <source>Your password was not remembered: no password keyring (secret store) is running on this desktop.

Your user name and host were remembered. Type your password when you log in next time.</source>
        <translation>No se ha recordado su contraseña: no hay ningún llavero de contraseñas (almacén de secretos) en ejecución en este escritorio.

Se han recordado su nombre de usuario y el servidor. Escriba su contraseña la próxima vez que inicie sesión.</translation>
    </message>
    <message>
        <source>Incorrect Username or Password</source>
        <translation>Nombre de usuario o contraseña incorrectos</translation>
    </message>
    <message>
        <source>Login Failed</source>
        <translation>Error al iniciar sesión</translation>
    </message>
    <message>
        <source>Untrusted Server Certificate</source>
        <translation>Certificado de servidor no fiable</translation>
    </message>
    <message>
        <source>Server Certificate Changed</source>
        <translation>El certificado del servidor ha cambiado</translation>
    </message>
    <message>
        <source>Can not establish connection with Q5Server. Please verify that Q5 is running before re-attempting to log in</source>
        <translation>No se puede establecer la conexión con Q5Server. Compruebe que Q5 se está ejecutando antes de volver a intentar iniciar sesión</translation>
    </message>
    <message>
        <source>No Connection</source>
        <translation>Sin conexión</translation>
    </message>
</context>
<context>
    <name>q5::frmMain</name>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Q5Client connected to mailbox</source>
        <translation>Q5Client conectado al buzón</translation>
    </message>
</context>
<context>
    <name>q5::frmMbx</name>
    <message>
        <source>No BOX_EMAIL2 record was found. Please contact your system administrator for more information</source>
        <translation>No se encontró ningún registro BOX_EMAIL2. Póngase en contacto con el administrador del sistema para obtener más información</translation>
    </message>
    <message>
        <source>Text (*.txt *.html)</source>
        <translation>Texto (*.txt *.html)</translation>
    </message>
    <message>
        <source>Attachment...</source>
        <translation>Adjunto...</translation>
    </message>
    <message>
        <source>You must select a file before uploading to the server</source>
        <translation>Debe seleccionar un archivo antes de enviarlo al servidor</translation>
    </message>
    <message>
        <source>Target mailbox does not exist</source>
        <translation>El buzón de destino no existe</translation>
    </message>
</context>
<context>
    <name>q5::frmPIMSetup</name>
    <message>
        <source>Contacts folder</source>
        <translation>Carpeta de contactos</translation>
    </message>
</context>
<context>
    <name>q5::media::MultimediaControl</name>
    <message>
        <source>The device is not open</source>
        <translation>El dispositivo no está abierto</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>Orden desconocida: %1</translation>
    </message>
    <message>
        <source>The device is recording</source>
        <translation>El dispositivo está grabando</translation>
    </message>
    <message>
        <source>There is nothing to play</source>
        <translation>No hay nada que reproducir</translation>
    </message>
    <message>
        <source>No file name is set</source>
        <translation>No se ha indicado ningún nombre de archivo</translation>
    </message>
    <message>
        <source>Cannot create a file in %1</source>
        <translation>No se puede crear un archivo en %1</translation>
    </message>
    <message>
        <source>Cannot write the recording to %1</source>
        <translation>No se puede escribir la grabación en %1</translation>
    </message>
    <message>
        <source>Cannot replace %1</source>
        <translation>No se puede sustituir %1</translation>
    </message>
    <message>
        <source>Cannot write the recording</source>
        <translation>No se puede escribir la grabación</translation>
    </message>
</context>
<context>
    <name>q5::shell::Autostart</name>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation>No se pudo crear la carpeta %1.</translation>
    </message>
</context>
<context>
    <name>q5::shell::TrayIcon</name>
    <message>
        <source>Show</source>
        <translation>Mostrar</translation>
    </message>
    <message>
        <source>Call Control</source>
        <translation>Control de llamadas</translation>
    </message>
    <message>
        <source>Mailbox Settings</source>
        <translation>Configuración del buzón</translation>
    </message>
    <message>
        <source>Greetings</source>
        <translation>Saludos</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Q5Client keeps running</source>
        <translation>Q5Client sigue en marcha</translation>
    </message>
    <message>
        <source>Calls still arrive while the window is closed. Open it again from the tray icon; choose Quit there to end the program.</source>
        <translation>Las llamadas siguen llegando mientras la ventana está cerrada. Vuelva a abrirla desde el icono de la bandeja; elija Salir allí para terminar el programa.</translation>
    </message>
    <message>
        <source>Q5Client: disconnected</source>
        <translation>Q5Client: desconectado</translation>
    </message>
    <message>
        <source>Q5Client: mailbox %1, calls waiting: %2</source>
        <translation>Q5Client: buzón %1, llamadas en espera: %2</translation>
    </message>
    <message>
        <source>Q5Client: logged in to mailbox %1</source>
        <translation>Q5Client: sesión iniciada en el buzón %1</translation>
    </message>
</context>
</TS>
